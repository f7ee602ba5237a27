#pragma once

#include <QHash>
#include <QStringView>

#include <array>

// Dense numbers (0, 1, 2 ...) for the distinct tuples of N texts, compared exactly. Texts read
// from one source are mostly shared (a page's reader keeps each repeated text once, and so does
// the generator), so a tuple is first looked up by where its characters lie, without reading
// them; only a tuple at places not seen before is hashed and compared by its characters. Texts
// that are not shared stop being remembered by place once there are many. The texts must outlive
// the numbering.
template <int N> class TextNumbers
{
public:
    using Texts = std::array<QStringView, N>;

    int Of(const Texts& texts)
    {
        const Places places = PlacesOf(texts);
        if (const auto found = byPlace.constFind(places); found != byPlace.cend())
            return *found;
        const Keyed keyed{texts, qHashRange(texts.begin(), texts.end())};
        auto found = byText.constFind(keyed);
        if (found == byText.cend())
            found = byText.insert(keyed, int(byText.size()));
        Remember(places, *found);
        return *found;
    }

    // The number of a tuple numbered before, or -1; a tuple found is remembered by place too.
    int Find(const Texts& texts)
    {
        const Places places = PlacesOf(texts);
        if (const auto found = byPlace.constFind(places); found != byPlace.cend())
            return *found;
        const auto found = byText.constFind({texts, qHashRange(texts.begin(), texts.end())});
        if (found == byText.cend())
            return -1;
        Remember(places, *found);
        return *found;
    }

    int Count() const { return int(byText.size()); }

private:
    static constexpr qsizetype PlacesKept = 1024;

    struct Places {
        std::array<const QChar*, N> at;
        std::array<qsizetype, N> size;

        bool operator==(const Places&) const = default;
        friend size_t qHash(const Places& p, size_t seed = 0)
        {
            return qHashRange(p.at.begin(), p.at.end(),
                              qHashRange(p.size.begin(), p.size.end(), seed));
        }
    };

    struct Keyed {
        Texts texts;
        size_t hash;

        bool operator==(const Keyed& other) const
        {
            return hash == other.hash && texts == other.texts;
        }
        friend size_t qHash(const Keyed& k, size_t seed = 0) { return k.hash ^ seed; }
    };

    void Remember(const Places& places, int number)
    {
        if (byPlace.size() < PlacesKept + 4 * byText.size())
            byPlace.insert(places, number);
    }

    static Places PlacesOf(const Texts& texts)
    {
        Places places;
        for (int i = 0; i < N; ++i) {
            places.at[i] = texts[i].data();
            places.size[i] = texts[i].size();
        }
        return places;
    }

    QHash<Places, int> byPlace;
    QHash<Keyed, int> byText;
};
