#pragma once
// A seam for GL tests: epoxy reaches every GL entry point through a writable
// function pointer (epoxy_glXxx), so a test can put a function of its own in
// front of one for a scope, to count or record calls and pass them on.

#include <epoxy/gl.h>
#include <GLFW/glfw3.h>

namespace testsupport {

// Puts hook into slot while in scope and stores the driver's own entry point
// in *real for the hook to call. The real one is resolved by name, never
// taken from the slot: the slot may still hold epoxy's resolver, which would
// overwrite the slot on its first call.
template <typename Fn>
class GlHook {
public:
    GlHook(Fn& slot, const char* name, Fn hook, Fn* real) : slot_(slot), saved_(slot)
    {
        *real = reinterpret_cast<Fn>(glfwGetProcAddress(name));
        slot_ = hook;
    }
    ~GlHook() { slot_ = saved_; }
    GlHook(const GlHook&) = delete;
    GlHook& operator=(const GlHook&) = delete;

private:
    Fn& slot_;
    Fn saved_;
};

}  // namespace testsupport
