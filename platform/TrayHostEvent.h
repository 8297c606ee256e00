// What a tray host reports of the mouse on the icon, in its own terms: an XEmbed tray through Qt's
// activation reasons, a StatusNotifierItem host through the item's D-Bus methods.
#pragma once

enum class ETrayHostEvent {
    Trigger,           // XEmbed: a left click
    DoubleClick,       // XEmbed: a double click, after the Trigger of its first click
    Context,           // XEmbed right click, or a StatusNotifierItem host's ContextMenu call
    Activate,          // StatusNotifierItem: Activate (a left click on most hosts)
    SecondaryActivate, // StatusNotifierItem: SecondaryActivate (a middle click)
};
