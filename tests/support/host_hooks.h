// A test's lambdas as the stand-in host's observer, set for the hooks'
// lifetime. Each lambda is told what its parameters take: a whole call
// (const standin::Event&), a native call after the game answered (info,
// slots, result) or a host call (name, value).
#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>

#include "standin/host.h"

namespace testsupport {

template <typename... Hooks> class HostHooks final : public standin::HostObserver, private Hooks... {
  public:
    using Hooks::operator()...;

    explicit HostHooks(standin::Host& host, Hooks... hooks) : Hooks(std::move(hooks))..., host_(host) {
        host.setObserver(this);
    }
    ~HostHooks() override {
        if (host_.observer() == this)
            host_.setObserver(nullptr);
    }
    HostHooks(const HostHooks&) = delete;
    HostHooks& operator=(const HostHooks&) = delete;

    bool hearsCalls() const override { return takes<const standin::Event&>; }
    void call(const standin::Event& event) override {
        if constexpr (takes<const standin::Event&>)
            hook(event);
    }
    void afterNative(const standin::NativeInfo& info, const std::uint64_t* slots,
                     const std::uint64_t* result) override {
        if constexpr (takes<const standin::NativeInfo&, const std::uint64_t*, const std::uint64_t*>)
            hook(info, slots, result);
    }
    void afterHost(const char* name, std::uint32_t value) override {
        if constexpr (takes<const char*, std::uint32_t>)
            hook(name, value);
    }

  private:
    template <typename... Args> static constexpr bool takes = std::is_invocable_v<HostHooks&, Args...>;
    template <typename... Args> void hook(Args&&... args) { (*this)(std::forward<Args>(args)...); }

    standin::Host& host_;
};

} // namespace testsupport
