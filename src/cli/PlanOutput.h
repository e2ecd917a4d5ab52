#pragma once

#include <cstdio>

class TFilePlan;

enum class TPlanFormat { Csv, Json };

// Prints a dry run's plan: as CSV, the header "File","Change","Field","Old","New" and one line
// per change (quotes inside a field doubled); as JSON, one object per change and line, with the
// same keys. False when writing failed.
bool PrintPlan(const TFilePlan& plan, TPlanFormat format, std::FILE* out);
