// The row view the job list writes its cells through; the main window implements
// it over its list, so the engine never touches a window.
#pragma once

// Columns of a job's row.
inline constexpr int kColumnFileName = 0;
inline constexpr int kColumnDuration = 1;
inline constexpr int kColumnOutputSize = 2;
inline constexpr int kColumnStatus = 3;

class JobRowView {
public:
    virtual ~JobRowView() = default;
    // Writes one cell; text is 8-bit (locale encoding); the view converts it.
    virtual void setCellText(int row, int column, const char* text) = 0;
};
