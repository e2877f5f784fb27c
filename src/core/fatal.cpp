#include "core/fatal.h"

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace tenfold {

namespace {
struct Registry {
    std::vector<std::pair<CleanUpId, std::function<void()>>> cleanUps;
    CleanUpId nextId = 1;
    std::function<void(const std::string&)> show;
};
Registry& TheRegistry() {
    static Registry registry;
    return registry;
}
}  // namespace

CleanUpId RegisterCleanUp(std::function<void()> cleanUp) {
    Registry& r = TheRegistry();
    const CleanUpId id = r.nextId++;
    r.cleanUps.emplace_back(id, std::move(cleanUp));
    return id;
}

void WithdrawCleanUp(CleanUpId id) {
    auto& list = TheRegistry().cleanUps;
    std::erase_if(list, [id](const auto& entry) { return entry.first == id; });
}

void SetMessageShower(std::function<void(const std::string&)> show) { TheRegistry().show = std::move(show); }

void Fatal(const std::string& message) {
    Registry& r = TheRegistry();
    // Taken out one by one, so that a clean-up that fails fatally in turn
    // does not run itself again.
    while (!r.cleanUps.empty()) {
        auto cleanUp = std::move(r.cleanUps.back().second);
        r.cleanUps.pop_back();
        cleanUp();
    }
    std::fprintf(stderr, "tenfold: %s\n", message.c_str());
    if (r.show) {
        auto show = std::move(r.show);
        r.show = nullptr;
        show(message);
    }
    std::exit(1);
}

std::string ErrorText(const std::string& label, int number, const std::string& description) {
    return label + "\r\nError Number: " + std::to_string(number) + "\r\n" + description;
}

}  // namespace tenfold
