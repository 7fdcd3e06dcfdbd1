#pragma once

namespace taonscope {

/// Names the application "Taonscope" (the name its settings are kept under). No display name is set:
/// the platform would append it to every caption, and each window's caption is exactly its own.
void NameApplication();

} // namespace taonscope
