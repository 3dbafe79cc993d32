#pragma once
// Cleanup by scope: the work that must happen however a block is left (a flag cleared, a
// bracket closed, a state given back) is written once, next to what it undoes.
#include <exception>
#include <utility>

namespace vel {

// Runs Fn when the scope ends. When the scope is left by an exception and Fn raises too, the
// first error wins: Fn's is dropped, as a cleanup in a catch block would have replaced it.
template <class Fn>
class TScopeExit {
public:
    explicit TScopeExit(Fn fn) : FFn(std::move(fn)), FUncaught(std::uncaught_exceptions()) {}
    ~TScopeExit() noexcept(false) {
        if (!FArmed) return;
        if (std::uncaught_exceptions() > FUncaught) {
            try {
                FFn();
            } catch (...) {
            }
        } else {
            FFn();
        }
    }
    // The scope ended well and the cleanup is not wanted after all.
    void Release() { FArmed = false; }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

private:
    Fn FFn;
    int FUncaught;
    bool FArmed = true;
};

// Gives a variable a value for the scope and its old value back when the scope ends.
template <class T>
class TRestore {
public:
    TRestore(T& var, T value) : FVar(var), FOld(std::move(var)) { FVar = std::move(value); }
    explicit TRestore(T& var) : FVar(var), FOld(var) {}
    ~TRestore() { FVar = std::move(FOld); }
    TRestore(const TRestore&) = delete;
    TRestore& operator=(const TRestore&) = delete;

private:
    T& FVar;
    T FOld;
};

}  // namespace vel
