#pragma once

#include <QList>
#include <QRandomGenerator>

// Seeded random choices: the same seed gives the same sequence on every machine.
class Dice
{
public:
    explicit Dice(quint32 seed) : generator(seed) {}

    // A whole number from lo to hi, both included.
    int Int(int lo, int hi) { return lo + int(generator.bounded(quint32(hi - lo + 1))); }

    bool Chance(double probability) { return generator.generateDouble() < probability; }

    template <typename T> const T& Pick(const QList<T>& items)
    {
        return items.at(Int(0, int(items.size()) - 1));
    }

    // An index into `weights`, each chosen in proportion to its weight.
    int Weighted(const QList<int>& weights)
    {
        int total = 0;
        for (int w : weights)
            total += w;
        int roll = Int(0, total - 1);
        for (int i = 0; i < weights.size(); ++i) {
            if (roll < weights.at(i))
                return i;
            roll -= weights.at(i);
        }
        return int(weights.size()) - 1;
    }

    // A new generator for one part of the data, so adding draws to one part leaves the others.
    quint32 Fork() { return generator.generate(); }

private:
    QRandomGenerator generator;
};
