#pragma once
// Saving that never loses the file it replaces. The new file is written under a temporary
// name in the target's folder (so the rename cannot cross file systems); only when every
// write and the flush to disk have worked is it renamed over the target, which therefore
// holds either its old bytes or all the new ones. Any failure removes the temporary, leaves
// the target as it was, and shows "Cannot save ..." naming the file and the reason.
#include <functional>
#include <string>

namespace formats {

class SafeFileWriter {
 public:
  // `target` may be written with '\'. A target that is a symbolic link is saved where the
  // link points, and the link stays. Without `showFailure` a failure shows no box: its
  // caller has one of its own, and Error() tells it why.
  explicit SafeFileWriter(const std::string& target, bool showFailure = true);
  ~SafeFileWriter();
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // False when no temporary could be made (a missing or read-only folder, say); Commit
  // then fails with that reason.
  bool Ready() const { return ready_; }
  // The name to write the new file under (it exists, empty, while Ready()).
  const std::string& TemporaryName() const { return temporary_; }

  // `written`: whether the writer's every write worked. Puts the new file in place and
  // returns true, or removes it, shows the box and returns false.
  bool Commit(bool written);
  // The errno value of the failure, 0 while there is none.
  int Error() const { return error_; }

 private:
  bool Fail(int error);

  std::string target_;  // the path that is replaced
  std::string shown_;   // the name as the user gave it, for the box
  std::string temporary_;
  bool ready_ = false;
  bool committed_ = false;
  int createError_ = 0;
  bool showFailure_ = true;
  int error_ = 0;
};

// The whole road: `write` writes the file under the name it is given and says whether every
// write worked. True when the target holds the new file.
bool SaveReplacing(const std::string& target,
                   const std::function<bool(const std::string& name)>& write);

}  // namespace formats
