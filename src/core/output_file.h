#pragma once
// Writing the files the program makes for the user: horoscope files (saved or imported), text
// exports and the save file, reports and wheels. A file appears whole or not at all: the bytes
// go to a temporary file beside the target (".NAME.PID.N.tmp"), which is then renamed over the
// target in one step. A kill -9, a second Ctrl-C or a full disk at any moment leaves the old
// file or the new one, never an empty or half-written one; at worst a hidden temporary file
// stays behind.
//
// A path that names something other than a regular file (a FIFO, a directory, a device, a
// socket) is refused: opening a FIFO for writing would wait for a reader forever, and renaming
// over /dev/null would replace the device. A symbolic link to a regular file is followed, so
// the link stays and its target gets the new content.

#include <string>
#include <string_view>

#include "core/messages.h"

namespace tellurim {

enum class OutputStatus {
    Written,     // the file has its new content
    Exists,      // commit_new: something already has that name; nothing was replaced
    NotRegular,  // the path names a FIFO, a directory, a device or a socket
    Failed,      // the temporary file could not be made, written or renamed (errno says why)
};

// True when `path` names nothing yet, or a regular file (through symbolic links).
bool is_output_path(const std::string& path);

// One output file being written. Nothing is visible under the target's name before a commit;
// the destructor removes an uncommitted temporary file.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Makes the temporary file beside `path`. With `append` the file's present content comes
    // first (followed by CR LF when it does not end with a line end, so that a line cut by an
    // older program stays on its own line), and an exclusive lock on the file is held until
    // the commit, so that two runs appending at once both keep their lines.
    OutputStatus open(const std::string& path, bool append = false);
    // The temporary file's descriptor, for writers that take one.
    int fd() const { return m_fd; }
    [[nodiscard]] bool write(std::string_view bytes);
    // Renames the temporary file over the path given to open(). An existing file keeps its
    // permissions; a new one gets 0666 less the umask. `sync`: the content reaches the disk
    // before the rename (a bulk writer passes false and calls sync_file_system once at the end).
    OutputStatus commit(bool sync = true);
    // Gives the complete file the name `path` (in the directory given to open()) unless
    // something already has that name: then Exists, and the temporary file stays for another
    // name. Two runs never get the same name.
    OutputStatus commit_new(const std::string& path, bool sync = true);

private:
    bool finish(bool sync);
    void discard();
    OutputStatus append_again(bool sync);

    std::string m_target;  // the path given to open(), symbolic links resolved
    std::string m_temp;
    int m_fd = -1;
    int m_lock_fd = -1;  // append: the locked file
    bool m_finished = false;
    bool m_append_to_new = false;  // append: the file did not exist at open()
};

// The whole file in one call: replaced (or created), or created only when the name is free.
OutputStatus replace_output_file(const std::string& path, std::string_view bytes, bool sync = true);
OutputStatus create_output_file(const std::string& path, std::string_view bytes, bool sync = true);
// Appends `bytes` as OutputFile::open(path, true) does.
OutputStatus append_output_file(const std::string& path, std::string_view bytes);

// Flushes what was written in the file system holding `dir` to the disk (after a bulk write).
bool sync_file_system(const std::string& dir);

// The question before an existing file is replaced: "File PATH exits, overwrite?", caption
// "Confirmation", yes/no, yes by default.
Message overwrite_question(const std::string& path);

}  // namespace tellurim
