#pragma once

namespace ravlo {

// Puts an object in place of a process-wide one (through a setter that answers the previous one)
// for the lifetime of the guard, then puts the previous one back. Tests use it to swap in fakes.
template <typename T, T* (*Install)(T*)>
class ScopedInstall {
public:
    explicit ScopedInstall(T& replacement) : previous_(Install(&replacement)) {}
    ~ScopedInstall() { Install(previous_); }
    ScopedInstall(const ScopedInstall&) = delete;
    ScopedInstall& operator=(const ScopedInstall&) = delete;

private:
    T* previous_;
};

} // namespace ravlo
