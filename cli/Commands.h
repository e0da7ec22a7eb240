#pragma once
// One function per subcommand. Each returns an exit status; messages for the
// user go to `err`, results to `out`.

#include <iosfwd>

#include "cli/Args.h"

int Identify(const Args& args, std::ostream& out, std::ostream& err);
int Info(const Args& args, std::ostream& out, std::ostream& err);
int Dump(const Args& args, std::ostream& out, std::ostream& err);
int Textures(const Args& args, std::ostream& out, std::ostream& err);
int Render(const Args& args, std::ostream& out, std::ostream& err);
int MakeSample(const Args& args, std::ostream& out, std::ostream& err);
int View(const Args& args, std::ostream& out, std::ostream& err);
