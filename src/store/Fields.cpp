#include "store/Fields.h"

#include "store/Error.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace wm {

QString FieldDef::declaredType() const {
    switch (type) {
    case FieldType::Text:
        return QStringLiteral("VARCHAR(%1)").arg(width);
    case FieldType::Float:
        return QStringLiteral("FLOAT");
    case FieldType::Integer:
        return QStringLiteral("INTEGER");
    }
    return {};
}

FieldDef FieldDef::fromDeclaredType(const QString& name, const QString& declared, bool required) {
    static const QRegularExpression varchar(QStringLiteral("^\\s*VARCHAR\\s*\\(\\s*(\\d+)\\s*\\)\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    FieldDef def{name, FieldType::Text, 0, required};
    const QString upper = declared.trimmed().toUpper();
    if (const auto m = varchar.match(declared); m.hasMatch()) {
        def.width = m.captured(1).toInt();
    } else if (upper == QLatin1String("FLOAT") || upper == QLatin1String("REAL") || upper == QLatin1String("DOUBLE")) {
        def.type = FieldType::Float;
    } else if (upper == QLatin1String("INTEGER") || upper == QLatin1String("INT")) {
        def.type = FieldType::Integer;
    } else {
        def.width = 255;
    }
    return def;
}

const FieldList& participantFields() {
    static const FieldList fields = {
        {field::SEGELNR, FieldType::Text, 20, false}, {field::BOOTSNAME, FieldType::Text, 30, false},
        {field::NAME, FieldType::Text, 30, false},    {field::TYP, FieldType::Text, 20, false},
        {field::YS, FieldType::Float, 0, false},      {field::START, FieldType::Float, 0, false},
        {field::GZEIT, FieldType::Text, 20, false},   {field::BZEIT, FieldType::Text, 20, false},
        {field::STATUS, FieldType::Float, 0, false},
    };
    return fields;
}

const FieldDef* findField(const FieldList& fields, const QString& name) {
    for (const FieldDef& f : fields) {
        if (f.name.compare(name, Qt::CaseInsensitive) == 0) {
            return &f;
        }
    }
    return nullptr;
}

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// [sign] digits [separator digits], with at least one digit; the separator is a single comma or point.
bool isPlainDecimal(QStringView text) {
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        ++i;
    }
    bool digits = false;
    bool separator = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isAsciiDigit(c)) {
            digits = true;
        } else if ((c == u'.' || c == u',') && !separator) {
            separator = true;
        } else {
            return false;
        }
    }
    return digits;
}

double toNumber(const QVariant& value) {
    if (value.typeId() == QMetaType::QString) {
        return parseNumber(value.toString());
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number)) {
        throw Error(QStringLiteral("'%1' ist kein gültiger Gleitkommawert").arg(value.toString()));
    }
    return number;
}

} // namespace

double parseNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (isPlainDecimal(trimmed)) {
        QString normalized = trimmed;
        normalized.replace(u',', u'.');
        bool ok = false;
        const double value = QLocale::c().toDouble(normalized, &ok);
        if (ok && std::isfinite(value)) {
            return value;
        }
    }
    throw Error(QStringLiteral("'%1' ist kein gültiger Gleitkommawert").arg(text));
}

QVariant convertForField(const FieldDef& field, const QVariant& value) {
    if (value.isNull() || (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty())) {
        return QVariant();
    }
    switch (field.type) {
    case FieldType::Text: {
        const QString text = value.typeId() == QMetaType::Double ? displayText(value) : value.toString();
        if (field.width > 0 && text.size() > field.width) {
            throw Error(QStringLiteral("Der Wert '%1' ist für das Feld %2 zu lang (höchstens %3 Zeichen).")
                            .arg(text, field.name, QString::number(field.width)));
        }
        return text;
    }
    case FieldType::Float:
        return toNumber(value);
    case FieldType::Integer: {
        const double number = toNumber(value);
        if (number != std::trunc(number) || std::fabs(number) > 2147483647.0) {
            throw Error(QStringLiteral("'%1' ist kein gültiger ganzzahliger Wert").arg(value.toString()));
        }
        return qlonglong(number);
    }
    }
    return value;
}

QString displayText(const QVariant& value) {
    if (value.isNull()) {
        return {};
    }
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QLocale().toString(value.toDouble(), 'g', 15);
    default:
        return value.toString();
    }
}

void useGermanLocale() {
    QLocale german(QLocale::German, QLocale::Germany);
    german.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(german);
}

const QStringList& resultCodes() {
    static const QStringList codes = {kDnf,
                                      kDsq,
                                      QStringLiteral("DNS"),
                                      QStringLiteral("OCS"),
                                      QStringLiteral("RET"),
                                      QStringLiteral("UFD"),
                                      QStringLiteral("BFD"),
                                      QStringLiteral("NSC"),
                                      QStringLiteral("DNE")};
    return codes;
}

bool isResultCode(const QString& text) {
    return resultCodes().contains(text);
}

} // namespace wm
