#pragma once
// Services for tests: random values come from a script (then repeat the last),
// time is whatever the test sets, sounds and messages are recorded.

#include <cstdint>
#include <string>
#include <vector>

#include "core/services.h"

namespace tenfold::test {

class ScriptedServices : public Services {
public:
    std::vector<float> script;
    std::size_t next = 0;
    std::uint32_t now = 0;
    std::vector<std::string> sounds;
    std::vector<std::string> messages;

    float Rnd() override {
        if (script.empty()) return 0.0f;
        const float v = script[next < script.size() ? next : script.size() - 1];
        ++next;
        return v;
    }
    std::uint32_t TickCount() override { return now; }
    void PlaySound(std::string_view f) override { sounds.emplace_back(f); }
    void ShowMessage(std::string_view m) override { messages.emplace_back(m); }
};

}  // namespace tenfold::test
