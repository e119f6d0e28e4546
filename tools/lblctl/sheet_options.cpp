#include "sheet_options.h"

namespace lblctl {

void AddSheetOptions(CLI::App* command, SheetChanges& c)
{
    command->add_option("--label", c.label, "Choose the label of this name");
    command->add_option("--copies", c.copies, "Copies of each label");
    command->add_flag("--collate", c.collate, "Collate copies (where the printer offers it)");
    command->add_option("--color", c.color, "Colour mode")->check(CLI::IsMember({"mono", "4color", "3color"}));
    command->add_option("--halftone", c.halftone, "Halftoning")
        ->check(CLI::IsMember({"dither1", "dither2", "diffusion"}));
    command->add_option("--orientation", c.orientation, "Page orientation")
        ->check(CLI::IsMember({"portrait", "landscape"}));
    command->add_option("--resolution", c.resolution, "Resolution in dpi");
    command->add_option("--set", c.sets, "Set a device option: bBottomUp, bRibbonSaver, bBackFeed, bAutoFeed, "
                                         "bCompression, bMirror (0 or 1), iHalftone (0, 1, 2)")
        ->allow_extra_args(false);
}

}  // namespace lblctl
