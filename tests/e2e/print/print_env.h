// Shared set-up of the lblctl print tests: the demonstration printers, picture
// files in the test's spool directory, and decoding a printed stream.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/lblctl_run.h"
#include "e2e/print/print_files.h"
#include "inspect/inspect.h"

namespace print_test {

// Model 1: monochrome, 203 dpi, standard label 639 x 593 dots.
inline const char* kMono = "Print Mono";
// Model 0: colour, 300 dpi, standard label 945 x 876 dots.
inline const char* kColour = "Print Colour";
constexpr int kMonoCx = 639, kMonoCy = 593;
constexpr int kColourCx = 945, kColourCy = 876;

// Adds the printer (model 1 or 0) once per process.
inline void EnsurePrinter(const std::string& name, int model)
{
    static std::vector<std::string> added;
    for (const auto& n : added)
        if (n == name) return;
    e2e::RunResult r = e2e::Lblctl({"printer", "add", name, "--ppd", e2e::TestPpd(model)});
    ASSERT_EQ(r.status, 0) << r.err;
    added.push_back(name);
}

inline std::string TestPath(const std::string& name) { return e2e::SpoolDir() + "/../" + name; }

inline lblinspect::Result DecodeFile(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    return lblinspect::decode(bytes);
}

inline std::vector<std::string> CommandNames(const lblinspect::Result& r)
{
    std::vector<std::string> names;
    for (const auto& c : r.commands) names.push_back(c.name);
    return names;
}

inline std::string FieldOf(const lblinspect::Command& c, const std::string& key)
{
    for (const auto& f : c.fields)
        if (f.key == key) return f.value;
    return "";
}

}  // namespace print_test
