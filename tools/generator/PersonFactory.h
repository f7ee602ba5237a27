#pragma once

#include "Dice.h"

#include <QDate>
#include <QSet>
#include <QString>

// Plausible Chinese personal and company details. Names are unique per factory, so a name picked
// from a list names one person.
class PersonFactory
{
public:
    explicit PersonFactory(Dice& dice) : dice(dice) {}

    QString Name();
    QString Gender() { return dice.Chance(0.5) ? QStringLiteral("男") : QStringLiteral("女"); }
    QString MobilePhone();
    QString WeChat();
    // 18 digits with the check character of the national identity number.
    QString IdentityNumber(const QDate& birthday);
    QString Address();
    QString Company(const QString& trade);
    QString Website();

private:
    Dice& dice;
    QSet<QString> usedNames;
    QSet<QString> usedPhones;
};
