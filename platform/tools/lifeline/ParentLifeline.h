#pragma once

namespace bw::tools {

// The variable through which the program tells the tools it starts its own process id.
inline constexpr char parentVariable[] = "BERTHWATCH_PARENT_PID";

// Called first by every tool's main: when the program that started the tool ends, even killed,
// the tool ends with it instead of working on for nobody. Started through a script, the tool ends
// with the script. A tool run by hand (without the variable) is left alone.
void endWithParent();

} // namespace bw::tools
