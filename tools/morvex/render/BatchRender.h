#pragma once

#include <string>
#include <vector>

#include "tools/morvex/render/FileRender.h"

class ArgCursor;

// --jobs takes 1 to this many; the default is the number of cores, as many.
constexpr int kMaxBatchJobs = 64;
int DefaultBatchJobs();

// One input of a batch and the output it gets in the batch's folder.
struct BatchFile {
  std::string in;
  std::string out;
  int container = 0;  // libsndfile SF_FORMAT_* type, from the name or --type
};

// The files of a batch: each input with the output of the same name in
// `folder`. Standard input, two inputs of the same name, an input that would
// be its own output and an unknown extension are usage errors (through
// `args`).
std::vector<BatchFile> PlanBatch(const ArgCursor& args, const std::vector<std::string>& inputs,
                                 const std::string& folder, const std::string& type);

// Checks the folder, the state file and the settings before any work, then
// renders the files `jobs` at a time, each with its own unit, and reports
// them; returns the exit status: 1 when any file failed, else 0.
int RenderBatch(RenderSettings& settings, const std::vector<BatchFile>& files,
                const std::string& folder, int jobs);
