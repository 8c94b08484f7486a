#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace zel::app {

QLocale installTranslations(const QString& language)
{
    static std::unique_ptr<QTranslator> own, toolkit;
    for (auto* t : {&own, &toolkit})
        if (*t) {
            QCoreApplication::removeTranslator(t->get());
            t->reset();
        }
    // A chosen language governs numbers and dates too, whatever the environment says.
    const QLocale locale = language.isEmpty() ? QLocale::system() : QLocale(language);
    QLocale::setDefault(locale);
    const auto install = [&locale](std::unique_ptr<QTranslator>& slot, const QString& name,
                                   const QString& directory) {
        auto t = std::make_unique<QTranslator>();
        if (t->load(locale, name, QStringLiteral("_"), directory) &&
            QCoreApplication::installTranslator(t.get()))
            slot = std::move(t);
    };
    install(own, QStringLiteral("zel"), QStringLiteral(":/i18n"));
    // The toolkit's texts are a separate package; without it its dialogs stay in English.
    install(toolkit, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return locale;
}

} // namespace zel::app
