// The product's fixed names: its program and uninstaller, its registry keys,
// its GUID and the names of kernel objects it shares with the product. Needs
// no Windows.
#pragma once

#define PRODUCT_GUID "{5E0C71A2-8B3D-4F6A-9C21-0D7E4B93A6F8}"
#define PRODUCT_KEY_NAME "PlumwickSoftwareInstaller"
#define PRODUCT_KEY_PATH "SOFTWARE\\KWO\\" PRODUCT_KEY_NAME
#define UNINSTALLER_NAME "_nvxu000.exe"

// The installed program; the program path is the folder, "\", and this.
inline constexpr char kProgramPathTail[] = "\\DidIve.exe";
// The copy of setup.exe in the Windows folder that uninstalls.
inline constexpr char kUninstallerName[] = UNINSTALLER_NAME;
// Icon group 100 of the uninstaller, found by name: the browser button's icon.
inline constexpr char kUninstallerIcon[] = UNINSTALLER_NAME ",100";
// A manifest an earlier product left beside its program (NT only).
inline constexpr char kProductManifestName[] = "didive.exe.manifest";

// The product key under HKEY_LOCAL_MACHINE, and under HKEY_CURRENT_USER the
// per-user result record.
inline constexpr char kProductKeyPath[] = PRODUCT_KEY_PATH;
inline constexpr char kSearchPathKeyPath[] = PRODUCT_KEY_PATH "\\SearchPath";
inline constexpr char kInstallKeyPath[] = PRODUCT_KEY_PATH "\\Install";
// The system's uninstall entry and the interface path key (HKEY_LOCAL_MACHINE).
inline constexpr char kUninstallEntryPath[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" PRODUCT_KEY_NAME;
inline constexpr char kInterfaceKeyPath[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" PRODUCT_GUID;
// The browser button: the product's subkey of the browser's extensions.
inline constexpr char kExtensionsKeyPath[] = "SOFTWARE\\Microsoft\\Internet Explorer\\Extensions";
inline constexpr char kButtonKeyName[] = PRODUCT_GUID;
// The update agent's pending request (HKEY_CURRENT_USER).
inline constexpr char kAgentParentPath[] = "SOFTWARE\\Varnex\\VOD";
inline constexpr char kAgentKeyName[] = "VeruZadovo";
inline constexpr char kAgentKeyPath[] = "SOFTWARE\\Varnex\\VOD\\VeruZadovo";
// The event the product signals once it has initialised.
inline constexpr char kInitEventName[] = PRODUCT_GUID ":VERUZADOVO:INIT";
