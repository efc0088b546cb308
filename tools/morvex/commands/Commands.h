#pragma once

#include <string>
#include <vector>

// Each command takes the arguments after its name and returns the exit
// status; failures are thrown as ToolError / UsageError.
int RenderCommand(const std::vector<std::string>& args);
int PresetsCommand(const std::vector<std::string>& args);
int ParamsCommand(const std::vector<std::string>& args);
int InfoCommand(const std::vector<std::string>& args);
int ShowCommand(const std::vector<std::string>& args);
// In the display module: see DisplayModule.h.
int EditorCommand(const std::vector<std::string>& args);
int ValidateCommand(const std::vector<std::string>& args);
int LiveCommand(const std::vector<std::string>& args);
