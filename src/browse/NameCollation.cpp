#include "browse/NameCollation.h"

#include "widgets/Text.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace velmora::browse {
namespace {

QCollator userCollator() {
    QLocale locale;
    // The C locale collates by code point ("Zeta" before "apple"); a user without a language
    // setting still expects dictionary order.
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setNumericMode(true);
    return collator;
}

// The position of each name in collation order; equal names share one. Sorting by precomputed
// keys keeps a folder of a hundred thousand names quick.
std::vector<int> collationRanks(const std::vector<QString>& names) {
    const QCollator collator = userCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(names.size());
    for (const QString& name : names)
        keys.push_back(collator.sortKey(name));
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&keys](std::size_t a, std::size_t b) { return keys[a].compare(keys[b]) < 0; });
    std::vector<int> ranks(names.size());
    int rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && keys[order[i - 1]].compare(keys[order[i]]) != 0)
            ++rank;
        ranks[order[i]] = rank;
    }
    return ranks;
}

} // namespace

void sortListingByLocale(std::vector<FileItemPtr>& items, ListingOrder order) {
    std::vector<QString> names;
    names.reserve(items.size());
    for (const FileItemPtr& item : items)
        names.push_back(widgets::fromPath(item->name));
    const std::vector<int> ranks = collationRanks(names);
    std::unordered_map<const FileItem*, int> rankOf;
    rankOf.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        rankOf.emplace(items[i].get(), ranks[i]);
    sortListing(items, order, [&rankOf](const FileItem& a, const FileItem& b) {
        const int left = rankOf.at(&a), right = rankOf.at(&b);
        return left < right ? -1 : left > right ? 1 : 0;
    });
}

void sortNamesByLocale(std::vector<std::string>& names) {
    std::vector<QString> texts;
    texts.reserve(names.size());
    for (const std::string& name : names)
        texts.push_back(widgets::fromPath(name));
    const std::vector<int> ranks = collationRanks(texts);
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&ranks](std::size_t a, std::size_t b) { return ranks[a] < ranks[b]; });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const std::size_t index : order)
        sorted.push_back(std::move(names[index]));
    names = std::move(sorted);
}

} // namespace velmora::browse
