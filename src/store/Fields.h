#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace wm {

enum class FieldType { Text, Float, Integer };

struct FieldDef {
    QString name;
    FieldType type = FieldType::Text;
    int width = 0; // characters, for text fields
    bool required = false;

    QString declaredType() const; // VARCHAR(n), FLOAT or INTEGER
    static FieldDef fromDeclaredType(const QString& name, const QString& declared, bool required);
    bool operator==(const FieldDef&) const = default;
};

using FieldList = QList<FieldDef>;

namespace field {
inline const QString SEGELNR = QStringLiteral("SEGELNR");
inline const QString BOOTSNAME = QStringLiteral("BOOTSNAME");
inline const QString NAME = QStringLiteral("NAME");
inline const QString TYP = QStringLiteral("TYP");
inline const QString YS = QStringLiteral("YS");
inline const QString START = QStringLiteral("START");
inline const QString GZEIT = QStringLiteral("GZEIT");
inline const QString BZEIT = QStringLiteral("BZEIT");
inline const QString STATUS = QStringLiteral("STATUS");
inline const QString Punkte = QStringLiteral("Punkte");
} // namespace field

// Result entries for boats that did not finish or were disqualified. They stand in for a time and sort after
// every "HH:MM:SS" text.
inline const QString kDnf = QStringLiteral("DNF");
inline const QString kDsq = QStringLiteral("DSQ");
// Every result code of a race sheet, stored like "DNF" and "DSQ": DNF, DSQ, DNS, OCS, RET, UFD, BFD, NSC, DNE.
const QStringList& resultCodes();
// Whether a stored time is a result code (exactly, in upper case).
bool isResultCode(const QString& text);

// The participant table; also the first nine fields of every race table.
const FieldList& participantFields();

const FieldDef* findField(const FieldList& fields, const QString& name);

// Converts a value typed or computed for a field into what is stored: text within the field's width, a number
// from text written with a comma or a point, an empty text as no value. Throws wm::Error with the message the
// user sees.
QVariant convertForField(const FieldDef& field, const QVariant& value);

// The one rule for a number typed by a user: optional sign, digits with at most one decimal comma or point,
// blanks around it ignored; no exponent, no thousands separator. Throws wm::Error with the message the user
// sees ("'1e2' ist kein gültiger Gleitkommawert").
double parseNumber(const QString& text);

// A stored value as the user sees it: numbers in German form (112,5; 1278 without a thousands separator),
// no value as an empty text.
QString displayText(const QVariant& value);

// Makes German number, date and time formats the default whatever the machine's locale. Numbers carry no
// thousands separator, so grids, printed and PDF reports, web pages and CSV all read "1278".
void useGermanLocale();

} // namespace wm
