// Keeps the library non-empty until its parts arrive.
namespace orv::codec {
const char* LibraryName() { return "orvcodec"; }
}  // namespace orv::codec
