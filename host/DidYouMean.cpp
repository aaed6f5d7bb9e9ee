#include "host/DidYouMean.h"

#include <algorithm>
#include <cctype>

std::size_t editDistance(const std::string& a, const std::string& b) {
    const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1,
                               diagonal + (lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::optional<std::string> nearestName(const std::string& typed,
                                       const std::vector<std::string>& names) {
    const auto nearest =
        std::min_element(names.begin(), names.end(), [&](const auto& a, const auto& b) {
            return editDistance(a, typed) < editDistance(b, typed);
        });
    // A near miss is a typing slip; anything further is another name altogether.
    if (nearest == names.end() ||
        editDistance(*nearest, typed) > std::max<std::size_t>(2, typed.size() / 3))
        return std::nullopt;
    return *nearest;
}

std::string didYouMean(const std::string& typed, const std::vector<std::string>& names) {
    const auto name = nearestName(typed, names);
    return name ? ": did you mean '" + *name + "'?" : "";
}
