#include "commands.h"

namespace wmbtool {

const std::vector<Command> &commands()
{
    static const std::vector<Command> table = {
        {"help", "help [COMMAND]", "print the help of one command, or this list",
         "Prints the help of COMMAND, as \"wmbtool COMMAND --help\" does; without\n"
         "COMMAND, the list of every command, as \"wmbtool --help\" does.\n",
         {}, {}, runHelp},
        {"list", "list ROM [--tiles LEVEL]",
         "print every level's timer and texts, or one level's tiles",
         "Prints one line per level 1 to 32, five fields separated by tabs:\n"
         "  LEVEL  TIMER  NAME  AUTHOR  HINT\n"
         "The timer is the stored byte x 5; texts are decoded through the level text\n"
         "table and printed as UTF-8, each shown in full with its fill characters.\n"
         "With --tiles LEVEL, prints instead one line per tile code that level\n"
         "holds, in code order, three fields separated by tabs:\n"
         "  CODE  COUNT  NAME\n"
         "CODE as the editor writes it (0 to FF), COUNT the map cells holding it and\n"
         "NAME the tile's name from names.txt in the editor's tile folder (./graph\n"
         "when it exists, else the set installed with the program), in UTF-8; NAME\n"
         "is empty for a tile that file does not name, or without the file.\n",
         {}, {"--tiles"}, runList},
        {"export", "export ROM LEVEL FILE", "write one level to a level file",
         "Writes level LEVEL (1 to 32) of ROM to FILE, byte for byte the level file\n"
         "the editor's \"Export level\" writes for that level just loaded. An existing\n"
         "FILE is replaced whole; a failure leaves it as it was. ROM is not changed.\n",
         {}, {}, runExport},
        {"import", "import ROM LEVEL FILE", "write a level file into one level of a ROM image",
         "Reads the level file FILE, checks all of it, and writes it into level LEVEL\n"
         "(1 to 32) of ROM, as the editor's \"Import level\" does with that level\n"
         "loaded: texts cut or filled to their fields, the timer clamped to 0..1275\n"
         "and stored divided by 5. Only the field bytes of that level are written.\n"
         "A bad file, or a ROM that cannot be written, changes nothing.\n",
         {}, {}, runImport},
        {"render", "render ROM LEVEL|--all OUT.png [--grid] [--tiles DIR]",
         "draw a level's screen (or all 32) as a PNG image",
         "Draws the 14 x 12 tiles of level LEVEL as a 448 x 384 PNG image, or with\n"
         "--grid as 461 x 395 with one-pixel black lines between the tiles.\n"
         "--all instead of LEVEL draws the 32 levels on one sheet, 8 across and 4\n"
         "down in level order, 16 dark grey pixels between them\n"
         "(3696 x 1584, or 3800 x 1628 with --grid).\n"
         "Tile pictures come from DIR/<code>.bmp with --tiles, otherwise from the\n"
         "editor's tile folder: ./graph when it exists, else the set installed with\n"
         "the program. A picture larger than 32 x 32 is cut; a smaller one leaves\n"
         "the rest of its cell black.\n",
         {"--grid", "--all"}, {"--tiles"}, runRender},
        {"ips", "ips ORIGINAL EDITED OUT.ips", "make an IPS patch from ORIGINAL to EDITED",
         "Writes an IPS patch holding every byte in which EDITED differs from\n"
         "ORIGINAL. Both files must have the same size, at most 16 MiB. Identical\n"
         "files give the empty patch (\"PATCH\" then \"EOF\").\n",
         {}, {}, runIps},
        {"patch", "patch ROM PATCH.ips OUT", "apply an IPS patch, writing the result to OUT",
         "Applies PATCH.ips to ROM and writes the result to OUT; ROM itself is never\n"
         "changed. Run records and the truncation extension are understood. A\n"
         "malformed or truncated patch is refused and OUT is not written.\n",
         {}, {}, runPatch},
        {"bps", "bps ORIGINAL MODIFIED OUTPUT", "make a BPS patch from ORIGINAL to MODIFIED",
         "Writes a BPS patch that turns ORIGINAL into MODIFIED; the files may differ\n"
         "in size. The patch carries the CRC32 of both files and of itself, so that\n"
         "it is refused by another image and when damaged. Unchanged runs are read\n"
         "from the original and moved or repeated runs are copied, so a moved level\n"
         "takes a few bytes.\n",
         {}, {}, runBps},
        {"apply", "apply IMAGE PATCH OUTPUT", "apply an IPS or BPS patch, writing the result to OUTPUT",
         "Applies PATCH, an IPS or a BPS patch (known by its content, not its name),\n"
         "to IMAGE and writes the result to OUTPUT, which may be neither IMAGE nor\n"
         "PATCH; IMAGE itself is never changed. Everything is checked first: a BPS\n"
         "patch made from another image, or damaged, and a malformed patch of\n"
         "either format are refused with the check that failed, and OUTPUT is not\n"
         "written.\n",
         {}, {}, runApply},
        {"info", "info IMAGE", "print the size, iNES header and checksums of an image",
         "Prints one item a line, \"LABEL: VALUE\": the file's size; the iNES header\n"
         "(program and character banks, mapper, mirroring, battery), or \"none\";\n"
         "then the CRC32, MD5 and SHA-1 of the whole file and of the data after the\n"
         "16-byte header, in lower-case hexadecimal, as dump databases identify an\n"
         "image. IMAGE is not changed.\n",
         {}, {}, runInfo},
        {"find", "find ROM CODE", "print the levels that hold a tile code, with its count in each",
         "Prints one line per level that holds the tile code CODE (hexadecimal, 0 to\n"
         "FF, in either case), in level order:\n"
         "  LEVEL COUNT\n"
         "COUNT is the number of map cells of that level holding the code. A code no\n"
         "level holds prints nothing. ROM is not changed.\n",
         {}, {}, runFind},
        {"diff", "diff A B", "print the levels in which two ROM images differ",
         "Compares the 32 level records of the images A and B and prints one line\n"
         "per level that differs, in level order, naming what differs:\n"
         "  7: tiles 12, name\n"
         "\"tiles N\" is the number of map cells that differ; then timer, name, author\n"
         "and hint, each as it differs. The rest of the images is not compared.\n"
         "Exit status, as cmp has it: 0 when no level differs, 1 when some do, 2\n"
         "when the images cannot be compared or on wrong usage.\n",
         {}, {}, runDiff},
        {"backups", "backups IMAGE", "list the editor's backups of an image, newest first",
         "Prints one line per backup the editor made of IMAGE before writing into it,\n"
         "newest first, four fields separated by tabs:\n"
         "  N  DATE TIME  SIZE  LEVELS\n"
         "N is the number backup takes (1 is the newest), the time is local, SIZE is\n"
         "in bytes and LEVELS the levels whose records differ from IMAGE now (\"none\"),\n"
         "followed by \"other bytes differ\" when bytes outside the level records do.\n"
         "The backups are in the editor's data folder (on Linux\n"
         "$XDG_DATA_HOME/WMBeditor/backups, else ~/.local/share/WMBeditor/backups).\n",
         {}, {}, runBackups},
        {"backup", "backup IMAGE N OUTPUT", "write backup N of an image to OUTPUT",
         "Writes the editor's backup number N of IMAGE (as backups numbers them, 1\n"
         "the newest) to OUTPUT, whole or not at all. OUTPUT is never IMAGE itself;\n"
         "to put a backup back, write it elsewhere and look at it first, or restore\n"
         "it in the editor (File > Backups...), where the restore can be undone.\n",
         {}, {}, runBackup},
    };
    return table;
}

} // namespace wmbtool
