namespace vel {
// Kept so the library target always has a translation unit of its own.
const char* VelGridVersion() { return "0.1.0"; }
}  // namespace vel
