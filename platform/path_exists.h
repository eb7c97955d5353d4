// Whether anything (file, folder, device) exists at a path.
#pragma once

bool pathExists(const char* path);
