#pragma once
// An output that only ever appears complete and never replaces a file: the conversion
// writes under a working name of its own beside the destination, and the finished file
// takes the destination's name only if nothing has it by then. Unless given that name, the
// working file is removed when this goes out of scope, so a run that fails or is stopped
// leaves nothing behind for a retry to trip over.
#include <string>

namespace cli {

class FinishedOutput {
  public:
    // strWorkingTag tells concurrent runs' working names apart (a process id).
    FinishedOutput(std::string strDest, const std::string& strWorkingTag);
    ~FinishedOutput();
    FinishedOutput(const FinishedOutput&) = delete;
    FinishedOutput& operator=(const FinishedOutput&) = delete;

    const std::string& WorkingPath() const { return m_strWorking; }
    // Whether something already has the destination's name.
    bool DestinationTaken() const;
    // Removes the working files other runs left for this destination whose process is gone
    // (killed, or its machine restarted); those of running processes stay. How many went.
    int RemoveAbandoned() const;
    // Gives the working file the destination's name, atomically, unless something has it:
    // then the working file is kept as it is and false returned.
    bool Publish();

  private:
    std::string m_strDest;
    std::string m_strWorking;
    bool m_bKeep = false;
};

}  // namespace cli
