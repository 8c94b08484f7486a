#include "model/StabilityMedia.h"

#include <QCoreApplication>

namespace zel::model {

const QStringList& StabilityMedia()
{
    static const QStringList media{
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "pH  1:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "pH  2:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "pH  3:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "pH  4:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "pH  5:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "pH  6:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "pH  7:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "pH  8:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "pH  9:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "pH 10:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "pH 11:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "pH 12:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Acid cleaner liquid:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Acid cleaner solid:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Tile cleaner:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Cream rinse:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Deo stick:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Antiperspirant:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Fabric softener:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Alcoholic lotion:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Hand cream:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Liquid detergent:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Shampoo:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Aerosol:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Foam bath:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Bleaching agent:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Talcum:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Soap:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Hard surface cleaner:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Detergent (+TAED):")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Detergent (+Perbor.):")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Softergent:")),
        QStringLiteral(QT_TRANSLATE_NOOP("zel::model::StabilityMedia", "Cold wave:")),
    };
    return media;
}

QString mediumLabel(int medium)
{
    if (medium < 1 || medium > MediaCount)
        return QString();
    // The list stays English for files other programs read; what a person reads is translated.
    return QCoreApplication::translate("zel::model::StabilityMedia",
                                       StabilityMedia().at(medium - 1).toUtf8());
}

QChar ratingChar(const QString& stabil, int medium)
{
    if (medium < 1 || medium > stabil.size())
        return QChar();
    return stabil.at(medium - 1);
}

QString ratingText(QChar rating)
{
    switch (rating.unicode()) {
    case '0':
        return QStringLiteral("-");
    case '1':
        return QStringLiteral("+");
    case '2':
        return QStringLiteral("++");
    default:
        return QString();
    }
}

} // namespace zel::model
