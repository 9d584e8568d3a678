// One colour per program, shared by the map and the table.
#pragma once

#include "report/model/LoggedWindow.h"

#include <cstdint>
#include <string>
#include <vector>

namespace report {

class Palette {
public:
    explicit Palette(const std::vector<LoggedWindow>& records);
    std::size_t Programs() const { return programs_.size(); }
    // The record's program, by its first record's place among them; kNone for no program.
    std::size_t ProgramOf(std::size_t record) const { return programOf_[record]; }
    // A CSS colour for a program; grey for kNone.
    static std::string Colour(std::size_t program);
    const std::vector<std::size_t>& FirstRecords() const { return programs_; }
    static constexpr std::size_t kNone = SIZE_MAX;
    // The first record with no program, or kNone.
    std::size_t FirstWithoutProgram() const { return withoutProgram_; }

private:
    std::vector<std::size_t> programOf_; // per record; kNone for no program
    std::vector<std::size_t> programs_;  // each program's first record
    std::size_t withoutProgram_ = kNone;
};

} // namespace report
