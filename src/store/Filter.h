#pragma once

#include <QString>
#include <QVariantList>

#include <memory>

namespace wm {

// A filter over a table's records, built in code and turned into an SQL condition with bound values, so
// that no typed text ever becomes SQL. An empty filter passes every record.
class Filter {
public:
    Filter() = default;

    // Text comparison: FIELD='constant'. A constant ending in '*' compares only what stands before the
    // asterisk, so the field must begin with it. With ignoreCase (given when rendering) every letter,
    // umlauts included, matches in any case. Quotes, '%', '_' and backslashes are ordinary characters.
    static Filter match(const QString& field, const QString& constant);
    // Plain equality, the value converted to the field's type (numeric fields compare as numbers).
    static Filter equals(const QString& field, const QVariant& value);
    // Numeric range, both bounds included.
    static Filter between(const QString& field, double low, double high);
    static Filter isNull(const QString& field);
    static Filter isNotNull(const QString& field);

    friend Filter operator&&(const Filter& a, const Filter& b);
    friend Filter operator||(const Filter& a, const Filter& b);

    bool isEmpty() const { return !m_node; }
    // SQL condition (without WHERE) appending its bound values to binds; "1" for an empty filter.
    QString toSql(bool ignoreCase, QVariantList& binds) const;

    struct Node;

private:
    explicit Filter(std::shared_ptr<const Node> node) : m_node(std::move(node)) {}
    std::shared_ptr<const Node> m_node;
};

QString quoteIdentifier(const QString& name);

} // namespace wm
