#include "desktop/AppSetup.h"

#include "store/Fields.h"

#include <QCoreApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

namespace wm {

void setUpApplication(QCoreApplication& app) {
    useGermanLocale();
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    }
    // The designed fonts are not available on Linux; these free fonts come closest in shape and width.
    QFont::insertSubstitution(QStringLiteral("Myriad Web"), QStringLiteral("Open Sans"));
    QFont::insertSubstitution(QStringLiteral("Lucida Sans Unicode"), QStringLiteral("DejaVu Sans"));
}

} // namespace wm
