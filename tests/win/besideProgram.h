// Where the Windows test programs find what the build puts next to them:
// a relative name is taken from the folder of the running program, an
// absolute one stays as it is.
#pragma once

#include <string>

std::string besideProgram(const std::string& name);
