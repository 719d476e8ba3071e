// A target written under a temporary name in its own folder and put in its place in
// one step once it is complete. Until then any earlier file of that name stays as it
// was; a write that fails or is stopped leaves neither a partial file nor the
// temporary one.
#pragma once

#include <string>

namespace ctlkit {

class CStagedFile {
public:
    CStagedFile() = default;
    ~CStagedFile() { Discard(); }
    CStagedFile(const CStagedFile&) = delete;
    CStagedFile& operator=(const CStagedFile&) = delete;

    // Whether target can be written without touching what is there: not a folder or a
    // device, in a folder that takes a new file, and an existing file not read-only.
    static bool CanWrite(const std::string& target);

    // Makes the empty temporary file beside target; false when it cannot be made.
    bool Begin(const std::string& target);
    bool IsActive() const { return !m_strTemp.empty(); }
    // Where the writer writes while the file is staged.
    const std::string& TempPath() const { return m_strTemp; }
    const std::string& Target() const { return m_strTarget; }
    // The writer has closed the temporary file: it replaces the target. False (and
    // the temporary file gone) when it cannot.
    bool Commit();
    // The writer has closed the temporary file, which goes.
    void Discard();

private:
    std::string m_strTarget;
    std::string m_strTemp;
};

}  // namespace ctlkit
