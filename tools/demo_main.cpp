// Loads the module into the stand-in host, lets it set up and run a few
// frames in a quiet world, and prints every call it made.
#include <cstdio>

#include "host/dll_main.h"
#include "standin/format.h"

int main() {
    standin::Host& host = standin::Host::get();
    host.reset();
    host.game().player().position = {-120.0f, 5.0f, 95.0f};

    DllMain(reinterpret_cast<void*>(0x180000000), 1, nullptr);
    host.runPasses(3);

    for (const standin::Event& event : host.events()) {
        std::printf("frame %-3d %s  %s\n", event.frame, standin::clockText(event.time).c_str(),
                    standin::describe(event).c_str());
    }
    std::printf("%zu calls recorded, %llu native calls\n", host.events().size(),
                static_cast<unsigned long long>(host.nativeCallCount()));

    DllMain(reinterpret_cast<void*>(0x180000000), 0, nullptr);
    host.shutdown();
    return 0;
}
