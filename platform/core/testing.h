// Seams for tests: faults the file services can be made to meet. The program
// never sets them.
#pragma once

namespace dexlora {

// The steps of WriteFileAtomically, in the order it takes them.
enum class AtomicWriteStep {
    CreateTemporary,  // the temporary file is created beside the target
    Write,            // the bytes go into it
    KeepMode,         // it takes the old file's permission bits
    Flush,            // its content reaches the disk
    Close,
    Rename,           // it replaces the target
    SyncFolder,       // the rename reaches the disk (the target is new already)
};

// When set, called before each step; answering an errno value makes that
// step fail with it, as a full disk (ENOSPC) or a refused permission (EACCES)
// would, and 0 lets the step run. It may also end the process there, to
// stand for a crash. Unset, a step costs one test of this pointer.
extern int (*AtomicWriteFaultForTests)(AtomicWriteStep step);

}  // namespace dexlora
