// Files a run makes for itself (work areas, temporaries handed between the
// programs of a chain): each is made afresh, so that an older file is never
// read back and a link planted under its name is never written through.
#pragma once

#include <sys/types.h>

#include <string>

namespace orv {

// dir and name joined by one "/".
std::string Join_Path(const std::string& dir, const std::string& name);
// The directory without trailing "/", except for "/" itself.
std::string Bare_Dir(std::string dir);
bool Is_Writable_Dir(const std::string& dir);
// Both names are there and stand for one file (links followed).
bool Same_File(const std::string& a, const std::string& b);
// A new directory of the run's own, "<parent>/<prefix>.XXXXXX" made unique,
// which nobody else can have prepared; empty (errno set) when it cannot be
// made. It is removed, with all it holds, should a signal (below) end the
// run (Forget_On_Signal keeps it).
std::string Make_Private_Dir(const std::string& parent, const std::string& prefix);
// A driver's work area: a private directory "<parent>/<tool>.XXXXXX". A
// parent the user named must be a writable directory. Kept on a signal too
// when `keep`. Empty after a message on stderr when it cannot be had.
std::string Make_Work_Dir(const char* tool, const std::string& parent, bool named, bool keep);

// What an interrupted run cleans up. On SIGINT, SIGTERM, SIGHUP or SIGXFSZ
// (a write beyond the file size limit) the children registered are sent the
// signal (SIGTERM for SIGXFSZ) and waited for (briefly, then killed), the
// paths registered are removed (a directory with everything in it), and the
// program then dies of the signal as it would have. A signal
// ignored when the first registration is made (nohup) stays ignored. Paths
// longer than PATH_MAX, or beyond the table's room, are not registered.
void Remove_On_Signal(const std::string& path);
void Forget_On_Signal(const std::string& path);
void Child_Started(pid_t pid);
void Child_Ended(pid_t pid);
// In a forked child before exec: the signal dispositions the program started
// with, so that the child never runs the parent's clean-up.
void Child_Signal_Defaults();
// fork() for a child of the chain: in the parent the child is registered
// (Child_Started) before a signal can be handled, so that none finds it
// unknown; the child starts with Child_Signal_Defaults.
pid_t Fork_Child();

// Removes whatever stands under path (a file or a link); true when nothing
// is there afterwards.
bool Remove_Old_File(const std::string& path);
// path made empty and new, readable by its owner only: the open descriptor
// for writing, or -1.
int Open_Private_File(const std::string& path);
bool Create_Private_File(const std::string& path);

}  // namespace orv
