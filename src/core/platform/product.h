#pragma once

namespace tb {

// The product's names and addresses, shared by the program, the files it writes and the tool.
inline constexpr const char* kProductTitle = "Tagberry 2.0";
inline constexpr const char* kProductVersion = "Tagberry Version 2.0.2";
inline constexpr const char* kMakerWebSite = "https://tagberry.example.org/";

}  // namespace tb
