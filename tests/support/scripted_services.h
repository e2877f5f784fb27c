#pragma once
// Services for tests: random values come from a script (then repeat the
// last), time is whatever the test sets, sounds are recorded.

#include <cstdint>
#include <vector>

#include "core/services.h"

namespace tenfold::test {

class ScriptedServices : public Services {
public:
    std::vector<float> script;
    std::size_t next = 0;
    std::uint32_t now = 0;
    std::vector<Sound> sounds;

    float Rnd() override {
        if (script.empty()) return 0.0f;
        const float v = script[next < script.size() ? next : script.size() - 1];
        ++next;
        return v;
    }
    std::uint32_t TickCount() override { return now; }
    void PlaySound(Sound sound) override { sounds.push_back(sound); }
};

}  // namespace tenfold::test
