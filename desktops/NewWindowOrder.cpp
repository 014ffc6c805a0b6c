#include "desktops/NewWindowOrder.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

int CompareWinProcessTime(const TProcessTime& first, const TProcessTime& second) noexcept {
    if (first && second) {
        return *first < *second ? -1 : (*first > *second ? 1 : 0);
    }
    if (first) {
        return -1;
    }
    return second ? 1 : 0;
}

void SortByProcessTime(std::vector<std::string>& entries, TWindowSystem& system) {
    if (entries.size() < 2) {
        return;
    }
    // Keys first, so the comparison itself never reaches the system.
    std::unordered_map<TProcessId, TProcessTime> byProcess;
    std::vector<std::pair<TProcessTime, std::string>> keyed;
    keyed.reserve(entries.size());
    for (auto& entry : entries) {
        TProcessTime time;
        if (TProcessId pid = system.ProcessOf(ParseHandle(entry)); pid != 0) {
            auto found = byProcess.find(pid);
            if (found == byProcess.end()) {
                found = byProcess.emplace(pid, system.ProcessCreationTime(pid)).first;
            }
            time = found->second;
        }
        keyed.emplace_back(time, std::move(entry));
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return CompareWinProcessTime(a.first, b.first) < 0;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        entries[i] = std::move(keyed[i].second);
    }
}
