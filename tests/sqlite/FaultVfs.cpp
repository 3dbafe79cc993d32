#include "tests/sqlite/FaultVfs.h"

#include <sqlite3.h>

#include <cstring>
#include <stdexcept>

namespace veltest {

namespace {

FaultVfs* gActive = nullptr;
sqlite3_vfs* gReal = nullptr;
sqlite3_vfs gShim;

// Our file wraps the real one, which lives right behind it in the same allocation.
struct ShimFile {
    sqlite3_file Base;
    sqlite3_file* Real;
};

sqlite3_file* Real(sqlite3_file* f) {
    return reinterpret_cast<ShimFile*>(f)->Real;
}

int Fault(FaultOp op) {
    return gActive ? gActive->Check(op) : SQLITE_OK;
}

int Close(sqlite3_file* f) {
    sqlite3_file* r = Real(f);
    return r->pMethods ? r->pMethods->xClose(r) : SQLITE_OK;
}
int Read(sqlite3_file* f, void* buf, int n, sqlite3_int64 off) {
    if (int rc = Fault(FaultOp::Read)) return rc;
    return Real(f)->pMethods->xRead(Real(f), buf, n, off);
}
int Write(sqlite3_file* f, const void* buf, int n, sqlite3_int64 off) {
    if (int rc = Fault(FaultOp::Write)) return rc;
    return Real(f)->pMethods->xWrite(Real(f), buf, n, off);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
    return Real(f)->pMethods->xTruncate(Real(f), size);
}
// The data never has to survive a power cut here, so the real flush to the device, the
// slowest thing a test would do, is skipped.
int Sync(sqlite3_file*, int) {
    return Fault(FaultOp::Sync);
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
    return Real(f)->pMethods->xFileSize(Real(f), size);
}
int Lock(sqlite3_file* f, int level) {
    if (int rc = Fault(FaultOp::Lock)) return rc;
    return Real(f)->pMethods->xLock(Real(f), level);
}
int Unlock(sqlite3_file* f, int level) {
    return Real(f)->pMethods->xUnlock(Real(f), level);
}
int CheckReservedLock(sqlite3_file* f, int* out) {
    return Real(f)->pMethods->xCheckReservedLock(Real(f), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) {
    return Real(f)->pMethods->xFileControl(Real(f), op, arg);
}
int SectorSize(sqlite3_file* f) {
    return Real(f)->pMethods->xSectorSize(Real(f));
}
int DeviceCharacteristics(sqlite3_file* f) {
    return Real(f)->pMethods->xDeviceCharacteristics(Real(f));
}
int ShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out) {
    return Real(f)->pMethods->xShmMap(Real(f), page, size, extend, out);
}
int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags);
}
void ShmBarrier(sqlite3_file* f) {
    Real(f)->pMethods->xShmBarrier(Real(f));
}
int ShmUnmap(sqlite3_file* f, int deleteFlag) {
    return Real(f)->pMethods->xShmUnmap(Real(f), deleteFlag);
}

// Version 2: no memory-mapped reads, so every read passes through Read.
const sqlite3_io_methods kMethods = {2,
                                     Close,
                                     Read,
                                     Write,
                                     Truncate,
                                     Sync,
                                     FileSize,
                                     Lock,
                                     Unlock,
                                     CheckReservedLock,
                                     FileControl,
                                     SectorSize,
                                     DeviceCharacteristics,
                                     ShmMap,
                                     ShmLock,
                                     ShmBarrier,
                                     ShmUnmap,
                                     nullptr,
                                     nullptr};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    auto* shim = reinterpret_cast<ShimFile*>(f);
    shim->Real = reinterpret_cast<sqlite3_file*>(shim + 1);
    shim->Real->pMethods = nullptr;
    int rc = gReal->xOpen(gReal, name, shim->Real, flags, outFlags);
    // SQLite calls xClose on a file whose pMethods is set, even when the open failed.
    shim->Base.pMethods = shim->Real->pMethods ? &kMethods : nullptr;
    return rc;
}

}  // namespace

FaultVfs::FaultVfs() {
    if (gActive) throw std::logic_error("a fault file system is already installed");
    if (!gReal) {
        gReal = sqlite3_vfs_find(nullptr);
        gShim = *gReal;
        gShim.szOsFile = static_cast<int>(sizeof(ShimFile)) + gReal->szOsFile;
        gShim.zName = "velfault";
        gShim.pNext = nullptr;
        gShim.xOpen = Open;
    }
    gActive = this;
    sqlite3_vfs_register(&gShim, 1);
}

FaultVfs::~FaultVfs() {
    sqlite3_vfs_register(gReal, 1);
    sqlite3_vfs_unregister(&gShim);
    gActive = nullptr;
}

void FaultVfs::Arm(FaultOp op, int nth, int rc, bool persistent) {
    FCount = {};
    FArmed = true;
    FFired = false;
    FOp = op;
    FNth = nth;
    FRc = rc;
    FPersistent = persistent;
}

void FaultVfs::Disarm() {
    FArmed = false;
}

int FaultVfs::Check(FaultOp op) {
    const int n = ++FCount[static_cast<int>(op)];
    if (!FArmed || op != FOp || n < FNth) return SQLITE_OK;
    if (n > FNth && !FPersistent) return SQLITE_OK;
    FFired = true;
    return FRc;
}

}  // namespace veltest
