// The game's strings, menu, soft-key bar, accelerators, About dialog and high-resolution marker.
#include "resources/tarvel_resources.h"

#include <cstddef>

namespace resources {
namespace {

using platform::ResourceName;

constexpr platform::StringResource kStrings[] = {
    {IDS_APP_TITLE, u"Tarvel"},
    {IDS_WINDOW_CLASS, u"TARVEL"},
    {IDS_OK, u"Aceptar"},
    {IDS_HELP, u"AYUDA"},
};

constexpr platform::MenuItemResource kHelpItems[] = {
    {IDM_ABOUT, u"Acerca de"},
    {IDM_NEW, u"Nuevo"},
    {IDM_HARD, u"Dificil"},
};
constexpr platform::PopupResource kMenuPopups[] = {{u"Ayuda", kHelpItems}};
constexpr platform::MenuResource kMenus[] = {{IDR_MENU, kMenuPopups}};

// Soft-key bar button fields.
constexpr WORD kNoImage = 0xFFFE;
constexpr WORD kEnabled = 4;
constexpr WORD kPlainAutoSize = 0x10;
constexpr WORD kDropDownAutoSize = 0x18;
constexpr WORD kNoSubmenu = 0xFFFF;

alignas(WORD) constexpr WORD kSoftKeyBar[] = {
    IDR_MENU,   2,        kNoImage, IDM_OK,   kEnabled,          kPlainAutoSize, IDS_OK, 0,
    kNoSubmenu, kNoImage, IDM_HELP, kEnabled, kDropDownAutoSize, IDS_HELP,       0,      0,
};

// Virtual key, no menu highlight, Control held.
constexpr BYTE kCtrlKey = FVIRTKEY | FNOINVERT | FCONTROL;
constexpr ACCEL kAccelerators[] = {
    {kCtrlKey, 'A', IDM_ABOUT},
    {kCtrlKey | ACCEL_LAST_ENTRY, 'Q', IDM_OK},
};
constexpr platform::AcceleratorTableResource kAcceleratorTables[] = {
    {IDC_ACCELERATORS, kAccelerators}};

// A pop-up with a caption and its font given; the OK button in the caption.
constexpr platform::DialogFrame kAboutFrame{0x80C00040, 0x80000000, 0, 0, 156, 129};
constexpr platform::DialogItemResource kAboutItems[] = {
    {IDC_ABOUT_ICON, u"static", {0x50000803, 0, 12, 12, 20, 20}, ResourceName::Number(IDI_TARVEL)},
    {IDC_ABOUT_VERSION,
     u"static",
     {0x50020080, 0, 12, 36, 70, 8},
     ResourceName::Text(u"Tarvel, versión 1.2")},
    {IDC_ABOUT_LINE2,
     u"static",
     {0x50020000, 0, 12, 48, 76, 8},
     ResourceName::Text(u"Fútbol de mesa")},
    {IDOK, u"button", {0x50010000, 0, 52, 85, 50, 25}, ResourceName::Text(u"OK")},
};
constexpr platform::DialogResource kDialogs[] = {
    {IDD_ABOUTBOX, kAboutFrame, u"Acerca de Tarvel", 8, u"MS Sans Serif", kAboutItems},
};

// The program draws in the screen's physical pixels.
alignas(WORD) constexpr WORD kHighResolutionAware[] = {1};

}  // namespace

std::span<const WORD> SoftKeyBarWords() {
    return kSoftKeyBar;
}

const platform::ResourceModule& TarvelResourceModule() {
    static const platform::RawResource raw[] = {
        {ResourceName::Number(RT_RCDATA_ID), ResourceName::Number(IDR_MENU),
         std::as_bytes(std::span(kSoftKeyBar))},
        {ResourceName::Text(u"CEUX"), ResourceName::Text(u"HI_RES_AWARE"),
         std::as_bytes(std::span(kHighResolutionAware))},
    };
    static const platform::IconResource icons[] = {TarvelIcon()};
    static const platform::ResourceModule module{
        u"tarvel", kLanguageSpanishSpain, kStrings, kMenus, kAcceleratorTables, icons, kDialogs,
        raw};
    return module;
}

}  // namespace resources
