#include "model/StabilityMedia.h"

namespace zel::model {

const QStringList& StabilityMedia()
{
    static const QStringList media{
        QStringLiteral("pH  1:"),
        QStringLiteral("pH  2:"),
        QStringLiteral("pH  3:"),
        QStringLiteral("pH  4:"),
        QStringLiteral("pH  5:"),
        QStringLiteral("pH  6:"),
        QStringLiteral("pH  7:"),
        QStringLiteral("pH  8:"),
        QStringLiteral("pH  9:"),
        QStringLiteral("pH 10:"),
        QStringLiteral("pH 11:"),
        QStringLiteral("pH 12:"),
        QStringLiteral("Acid cleaner liquid:"),
        QStringLiteral("Acid cleaner solid:"),
        QStringLiteral("Tile cleaner:"),
        QStringLiteral("Cream rinse:"),
        QStringLiteral("Deo stick:"),
        QStringLiteral("Antiperspirant:"),
        QStringLiteral("Fabric softener:"),
        QStringLiteral("Alcoholic lotion:"),
        QStringLiteral("Hand cream:"),
        QStringLiteral("Liquid detergent:"),
        QStringLiteral("Shampoo:"),
        QStringLiteral("Aerosol:"),
        QStringLiteral("Foam bath:"),
        QStringLiteral("Bleaching agent:"),
        QStringLiteral("Talcum:"),
        QStringLiteral("Soap:"),
        QStringLiteral("Hard surface cleaner:"),
        QStringLiteral("Detergent (+TAED):"),
        QStringLiteral("Detergent (+Perbor.):"),
        QStringLiteral("Softergent:"),
        QStringLiteral("Cold wave:"),
    };
    return media;
}

QString mediumLabel(int medium)
{
    if (medium < 1 || medium > MediaCount)
        return QString();
    return StabilityMedia().at(medium - 1);
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
