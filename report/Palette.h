// One colour per program, shared by the map and the table.
#pragma once

#include "report/WindowRecord.h"

#include <string>
#include <vector>

namespace report {

class Palette {
public:
    explicit Palette(const std::vector<WindowRecord>& records);
    std::size_t Programs() const { return programs_.size(); }
    // A CSS colour for the record's program; grey for a record with no program.
    std::string Fill(std::size_t record) const;
    const std::vector<std::size_t>& FirstRecords() const { return programs_; }

private:
    std::vector<std::size_t> programOf_; // per record; SIZE_MAX for no program
    std::vector<std::size_t> programs_;  // each program's first record
};

} // namespace report
