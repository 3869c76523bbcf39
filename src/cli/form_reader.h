// The start of a file of forms, as every command that reads one takes it:
// the first bytes checked for an encoding the run cannot read, the header's
// names that matter kept and decoded, and the scorer for the form's columns.
// The rows after it are read with csv().
#pragma once

#include "batch_scorer.h"
#include "csv.h"
#include "row_scorer.h"

#include <istream>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tizhi::cli {

class FormReader {
public:
    // `extraColumns` are the keys (columnKey) of columns the caller reads
    // beside the form's own; their names are kept too.
    FormReader(std::istream &in, Form form, Encoding encoding,
               std::set<std::string> extraColumns = {});

    // Reads up to the end of the header and makes the scorer for its
    // columns. Nothing, with `trouble` saying why, when the input has no
    // header the form can use. Throws CsvError.
    std::optional<RowScorer> start(Diagnostic &trouble);

    CsvReader &csv() { return reader_; }
    // The header's names that are extra columns, each with its 0-based
    // position, in UTF-8; a name given twice is kept twice.
    std::vector<std::pair<std::size_t, std::string>> extraNames() const;

private:
    bool readHeader();

    const Form form_;
    const Encoding encoding_;
    const std::set<std::string> extraColumns_;
    CsvReader reader_;
    std::vector<std::pair<std::size_t, std::string>> named_;
};

} // namespace tizhi::cli
