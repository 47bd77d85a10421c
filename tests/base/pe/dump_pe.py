# Prints, one JSON object a line, what pefile reads of each executable named on the command line.
import json, sys
import pefile

for name in sys.argv[1:]:
    pe = pefile.PE(name)
    out = {
        "machine": pe.FILE_HEADER.Machine,
        "characteristics": pe.FILE_HEADER.Characteristics,
        "magic": pe.OPTIONAL_HEADER.Magic,
        "entry": pe.OPTIONAL_HEADER.AddressOfEntryPoint,
        "imagebase": pe.OPTIONAL_HEADER.ImageBase,
        "sections": [[s.Name.rstrip(b"\0").decode("latin-1"), s.VirtualAddress, s.Misc_VirtualSize,
                      s.SizeOfRawData, s.PointerToRawData] for s in pe.sections],
        "dirs": [[d.VirtualAddress, d.Size] for d in pe.OPTIONAL_HEADER.DATA_DIRECTORY],
    }
    ff = pe.VS_FIXEDFILEINFO[0]
    out["fixed"] = [ff.FileVersionMS, ff.FileVersionLS, ff.ProductVersionMS, ff.ProductVersionLS,
                    ff.FileFlagsMask, ff.FileFlags, ff.FileOS, ff.FileType]
    strings = {}
    for fi in pe.FileInfo[0]:
        if fi.Key == b"StringFileInfo":
            for st in fi.StringTable:
                for k, v in st.entries.items():
                    strings[k.decode()] = v.decode()
    out["strings"] = strings
    print(json.dumps(out))
