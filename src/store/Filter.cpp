#include "store/Filter.h"

namespace wm {

struct Filter::Node {
    enum Kind { Match, Equals, Between, IsNull, IsNotNull, And, Or } kind;
    QString field;
    QVariant a;
    QVariant b;
    std::shared_ptr<const Node> left;
    std::shared_ptr<const Node> right;
};

QString quoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

Filter Filter::match(const QString& field, const QString& constant) {
    return Filter(std::make_shared<const Node>(Node{Node::Match, field, constant, {}, {}, {}}));
}

Filter Filter::equals(const QString& field, const QVariant& value) {
    return Filter(std::make_shared<const Node>(Node{Node::Equals, field, value, {}, {}, {}}));
}

Filter Filter::between(const QString& field, double low, double high) {
    return Filter(std::make_shared<const Node>(Node{Node::Between, field, low, high, {}, {}}));
}

Filter Filter::isNull(const QString& field) {
    return Filter(std::make_shared<const Node>(Node{Node::IsNull, field, {}, {}, {}, {}}));
}

Filter Filter::isNotNull(const QString& field) {
    return Filter(std::make_shared<const Node>(Node{Node::IsNotNull, field, {}, {}, {}, {}}));
}

static Filter combine(Filter::Node::Kind kind, const Filter& a, const Filter& b, auto make) {
    if (a.isEmpty()) {
        return b;
    }
    if (b.isEmpty()) {
        return a;
    }
    return make(kind);
}

Filter operator&&(const Filter& a, const Filter& b) {
    return combine(Filter::Node::And, a, b, [&](Filter::Node::Kind kind) {
        return Filter(std::make_shared<const Filter::Node>(Filter::Node{kind, {}, {}, {}, a.m_node, b.m_node}));
    });
}

Filter operator||(const Filter& a, const Filter& b) {
    return combine(Filter::Node::Or, a, b, [&](Filter::Node::Kind kind) {
        return Filter(std::make_shared<const Filter::Node>(Filter::Node{kind, {}, {}, {}, a.m_node, b.m_node}));
    });
}

static QString render(const Filter::Node& node, bool ignoreCase, QVariantList& binds) {
    const QString field = quoteIdentifier(node.field);
    switch (node.kind) {
    case Filter::Node::Match: {
        QString constant = node.a.toString();
        const bool prefix = constant.endsWith(u'*');
        if (prefix) {
            constant.chop(1);
        }
        binds << constant;
        return QStringLiteral("wm_match(%1, ?, %2, %3)")
            .arg(field, prefix ? QStringLiteral("1") : QStringLiteral("0"),
                 ignoreCase ? QStringLiteral("1") : QStringLiteral("0"));
    }
    case Filter::Node::Equals:
        binds << node.a;
        return field + QStringLiteral(" = ?");
    case Filter::Node::Between:
        binds << node.a << node.b;
        return QStringLiteral("(%1 >= ? AND %1 <= ?)").arg(field);
    case Filter::Node::IsNull:
        return field + QStringLiteral(" IS NULL");
    case Filter::Node::IsNotNull:
        return field + QStringLiteral(" IS NOT NULL");
    case Filter::Node::And:
    case Filter::Node::Or: {
        const QString left = render(*node.left, ignoreCase, binds);
        const QString right = render(*node.right, ignoreCase, binds);
        return QStringLiteral("(%1 %2 %3)")
            .arg(left, node.kind == Filter::Node::And ? QStringLiteral("AND") : QStringLiteral("OR"), right);
    }
    }
    return QStringLiteral("1");
}

QString Filter::toSql(bool ignoreCase, QVariantList& binds) const {
    return m_node ? render(*m_node, ignoreCase, binds) : QStringLiteral("1");
}

} // namespace wm
