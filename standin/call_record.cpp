#include "standin/call_record.h"

#include <cstring>

#include "standin/host.h"
#include "standin/slots.h"

namespace standin {

bool Event::is(const char* label) const {
    return kind == Kind::Native && native != nullptr && std::strcmp(native->label, label) == 0;
}

std::vector<ArgRecord> recordedArgs(const NativeInfo& info, const std::uint64_t* slots, const World& world) {
    std::vector<ArgRecord> args(std::strlen(info.slots));
    for (std::size_t k = 0; k < args.size(); ++k) {
        ArgRecord& arg = args[k];
        arg.raw = slots[k];
        const void* address = slotPointer<const void>(arg.raw);
        switch (info.slots[k]) {
        case 's':
            arg.isNull = address == nullptr;
            if (address != nullptr)
                arg.text = static_cast<const char*>(address);
            break;
        case 'v':
            if (const std::string* text = world.varString(arg.raw))
                arg.text = *text;
            break;
        case 'o':
            if (address != nullptr)
                std::memcpy(&arg.pointee, address, sizeof arg.pointee);
            break;
        case 'r':
            if (address != nullptr) {
                std::memcpy(arg.record.data(), address, sizeof arg.record);
                const char* line = slotText(arg.record[0]);
                arg.isNull = line == nullptr;
                if (line != nullptr)
                    arg.text = line;
            }
            break;
        default:
            break;
        }
    }
    return args;
}

std::vector<const Event*> Host::calls(const char* label) const {
    std::vector<const Event*> found;
    for (const Event& event : events_) {
        if (event.is(label)) {
            found.push_back(&event);
        }
    }
    return found;
}

void Host::record(Event&& event) {
    if (observerHearsCalls_ && listening) {
        observer_->call(event);
    }
    if (recording_) {
        events_.push_back(std::move(event));
    }
}

void Host::recordHost(const char* name, std::initializer_list<std::pair<const char*, std::int64_t>> values) {
    if (!keepingCalls()) {
        return;
    }
    Event event;
    event.kind = Event::Kind::Host;
    event.frame = frame_;
    event.time = now();
    event.host = name;
    for (const auto& [key, value] : values) {
        event.values.emplace_back(key, value);
    }
    record(std::move(event));
}

} // namespace standin
