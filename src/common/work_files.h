// Files a run makes for itself (work areas, temporaries handed between the
// programs of a chain): each is made afresh, so that an older file is never
// read back and a link planted under its name is never written through.
#pragma once

#include <string>

namespace orv {

// dir and name joined by one "/".
std::string Join_Path(const std::string& dir, const std::string& name);
// The directory without trailing "/", except for "/" itself.
std::string Bare_Dir(std::string dir);
bool Is_Writable_Dir(const std::string& dir);
// A new directory of the run's own, "<parent>/<prefix>.XXXXXX" made unique,
// which nobody else can have prepared; empty (errno set) when it cannot be
// made.
std::string Make_Private_Dir(const std::string& parent, const std::string& prefix);

// Removes whatever stands under path (a file or a link); true when nothing
// is there afterwards.
bool Remove_Old_File(const std::string& path);
// path made empty and new, readable by its owner only: the open descriptor
// for writing, or -1.
int Open_Private_File(const std::string& path);
bool Create_Private_File(const std::string& path);

}  // namespace orv
