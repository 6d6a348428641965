#include "dialogtemplates.h"

#include "resourceids.h"

namespace resources {

namespace {

using K = ControlKind;
constexpr Qt::Alignment kRight = Qt::AlignRight;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter;

const QList<DialogTemplate> &templates()
{
    static const QList<DialogTemplate> list = {
        {ids::IDD_FILE_PROPERTIES, "", 130, 142, {
            {1017, K::Picture, "", 3, 3, 21, 20},
            {1000, K::Label, "Filename", 26, 9, 101, 8},
            {0, K::Label, "Free: ", 3, 22, 34, 8, kRight},
            {1018, K::Label, "Size", 37, 22, 90, 8},
            {0, K::Label, "Size: ", 3, 30, 34, 8, kRight},
            {1001, K::Label, "Size", 37, 30, 90, 8},
            {0, K::Label, "Created: ", 3, 38, 34, 8, kRight},
            {1014, K::Label, "Created", 37, 38, 90, 8},
            {0, K::Label, "Modified: ", 3, 46, 34, 8, kRight},
            {1015, K::Label, "Modified", 37, 46, 90, 8},
            {0, K::Label, "Opened: ", 3, 54, 34, 8, kRight},
            {1016, K::Label, "Opened", 37, 54, 90, 8},
            {1002, K::CheckBox, "Directory", 3, 66, 63, 10},
            {1003, K::AutoCheckBox, "Archive", 66, 66, 61, 10},
            {1006, K::CheckBox, "Compressed", 3, 76, 63, 10},
            {1007, K::AutoCheckBox, "System", 66, 76, 61, 10},
            {1009, K::AutoCheckBox, "Temporary", 3, 86, 63, 10},
            {1004, K::AutoCheckBox, "Read only", 66, 86, 61, 10},
            {1008, K::CheckBox, "In rom", 3, 96, 63, 10},
            {1005, K::AutoCheckBox, "Hidden", 66, 96, 61, 10},
            {1011, K::CheckBox, "Rom module", 3, 106, 63, 10},
            {1010, K::CheckBox, "Atomic write", 66, 106, 61, 10},
            {1013, K::CheckBox, "Rom static ref", 3, 116, 63, 10},
            {1012, K::CheckBox, "XAction write", 66, 116, 61, 10},
            {1, K::DefaultButton, "OK", 3, 127, 50, 12},
            {2, K::Button, "Cancel", 77, 127, 50, 12},
        }},
        {ids::IDD_EXECUTE, "Execute File", 134, 71, {
            {1, K::DefaultButton, "OK", 3, 56, 50, 12},
            {2, K::Button, "Cancel", 81, 56, 50, 12},
            {0, K::Label, "Filename: ", 3, 6, 51, 8, kRight},
            {1003, K::Edit, "", 54, 3, 77, 14},
            {0, K::Label, "Path: ", 3, 22, 51, 8, kRight},
            {1004, K::Edit, "", 54, 19, 77, 14},
            {0, K::Label, "Parameters: ", 3, 38, 51, 8, kRight},
            {1005, K::Edit, "", 54, 35, 77, 14},
        }},
        {ids::IDD_GENERAL_INFO, "General", 152, 150, {
            {0, K::Label, "Processor :", 14, 8, 120, 8},
            {1030, K::Label, "Processor", 27, 15, 100, 22},
            {0, K::Label, "Operating system:", 14, 39, 120, 8},
            {1039, K::Label, "O.S.", 27, 47, 100, 22},
            {0, K::Label, ".inf-Code", 14, 71, 120, 8},
            {1041, K::Label, "inf_code", 27, 79, 40, 8},
            {0, K::Label, "This device:", 14, 90, 120, 8},
            {1043, K::Label, "", 27, 99, 105, 8},
            {1044, K::Label, "", 27, 110, 105, 8},
        }},
        {ids::IDD_MEMORY_INFO, "Memory", 141, 150, {
            {1042, K::Label, "TOT_PHYS_MEM", 2, 12, 122, 8, kCentre},
            {0, K::GroupBox, "Program memory", 2, 26, 128, 51},
            {0, K::Label, "Total Kb :", 9, 40, 65, 8, kRight},
            {1035, K::Label, "0", 76, 40, 37, 8, kRight},
            {0, K::Label, "Kb used :", 9, 51, 65, 8, kRight},
            {1036, K::Label, "0", 76, 51, 37, 8, kRight},
            {0, K::Label, "Kb available :", 9, 62, 65, 8, kRight},
            {1034, K::Label, "0", 76, 62, 37, 8, kRight},
            {0, K::GroupBox, "Storage memory", 2, 81, 128, 51},
            {0, K::Label, "Total Kb :", 9, 94, 65, 8, kRight},
            {1033, K::Label, "0", 76, 94, 37, 8, kRight},
            {0, K::Label, "Kb used :", 9, 105, 65, 8, kRight},
            {1037, K::Label, "0", 76, 105, 37, 8, kRight},
            {0, K::Label, "Kb available :", 9, 116, 65, 8, kRight},
            {1032, K::Label, "0", 76, 116, 37, 8, kRight},
        }},
        {ids::IDD_POWER_INFO, "Power", 133, 150, {
            {1021, K::Label, "Unknown status", 1, 6, 125, 11, kCentre},
            {0, K::GroupBox, "Main battery", 3, 18, 123, 58},
            {0, K::Label, "Status", 9, 30, 30, 8},
            {1022, K::Label, "Unknown", 40, 30, 80, 8, kRight},
            {1023, K::Label, "Unknown % of full battery", 9, 44, 111, 8},
            {1029, K::Label, "", 9, 54, 115, 17},
            {0, K::GroupBox, "Backup battery", 3, 76, 123, 58},
            {0, K::Label, "Status", 9, 88, 30, 8},
            {1025, K::Label, "Unknown", 40, 88, 80, 8, kRight},
            {1026, K::Label, "Unknown % of full battery", 9, 100, 110, 8},
            {1027, K::Label, "", 9, 112, 115, 17},
        }},
    };
    return list;
}

} // namespace

const DialogTemplate *FindDialogTemplate(int id)
{
    for (const DialogTemplate &t : templates())
        if (t.id == id)
            return &t;
    return nullptr;
}

} // namespace resources
