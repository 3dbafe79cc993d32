#pragma once
// A test file system for SQLite: a shim over the default one that fails the Nth write, sync,
// lock or read with the result code a full disk, a failing device or another process holding
// the file would give. While installed it is the default, so every connection the test opens
// goes through it.
#include <array>

namespace veltest {

enum class FaultOp { Write, Sync, Lock, Read };

class FaultVfs {
public:
    // Installs the shim as the default file system; the destructor puts the previous one back.
    FaultVfs();
    ~FaultVfs();
    FaultVfs(const FaultVfs&) = delete;
    FaultVfs& operator=(const FaultVfs&) = delete;

    // From now on, the nth operation of that kind (1 = the next) fails with rc, and so does
    // every later one when persistent (a disk stays full), or only that one otherwise.
    void Arm(FaultOp op, int nth, int rc, bool persistent = true);
    void Disarm();
    // Whether an armed fault has been returned since Arm.
    bool Fired() const { return FFired; }
    // Operations of a kind seen since the last Arm (or since installing).
    int Count(FaultOp op) const { return FCount[static_cast<int>(op)]; }

    // Used by the shim's file methods.
    int Check(FaultOp op);

private:
    std::array<int, 4> FCount{};
    bool FArmed = false, FPersistent = false, FFired = false;
    FaultOp FOp = FaultOp::Write;
    int FNth = 0, FRc = 0;
};

}  // namespace veltest
