// The end-to-end suite's view of GNOME Shell, over the session bus (org.kivodialer.E2EShell): what a user
// sees that no public interface of the Shell tells a test. Each reply is JSON.
//
//   Windows()      the windows: id, pid, title, kind (window, menu, balloon) and frame rectangle
//   Activate(id)   gives a window the focus
//   Indicators()   the AppIndicator extension's icons in the top bar: the item's bus name and rectangle
//   Menu()         the menu shown in the top bar: its items' labels (as drawn) and rectangles, whether
//                  it is open and has settled where it opens; null once it is gone
//   Banner()       the notification banner on screen: title, body and rectangle, or null
//
// At the start it leaves the overview the Shell opens a session with, so that the desktop shows.
const { Gio, GLib, Meta } = imports.gi;
const Main = imports.ui.main;
const PopupMenu = imports.ui.popupMenu;

const IFACE = `<node><interface name="org.kivodialer.E2EShell">
  <method name="Windows"><arg type="s" direction="out"/></method>
  <method name="Activate"><arg type="t" direction="in"/><arg type="b" direction="out"/></method>
  <method name="Indicators"><arg type="s" direction="out"/></method>
  <method name="Menu"><arg type="s" direction="out"/></method>
  <method name="Banner"><arg type="s" direction="out"/></method>
</interface></node>`;

function rectOf(actor) {
    const [x, y] = actor.get_transformed_position();
    const [w, h] = actor.get_transformed_size();
    return { x: Math.round(x), y: Math.round(y), w: Math.round(w), h: Math.round(h) };
}

function kindOf(window) {
    switch (window.get_window_type()) {
    case Meta.WindowType.MENU:
    case Meta.WindowType.POPUP_MENU:
    case Meta.WindowType.DROPDOWN_MENU:
        return 'menu';
    case Meta.WindowType.TOOLTIP:
    case Meta.WindowType.NOTIFICATION:
        return 'balloon';
    default:
        return 'window';
    }
}

// The AppIndicator extension's buttons in the top bar, as [key, button].
function indicators() {
    return Object.entries(Main.panel.statusArea)
        .filter(([key, button]) => key.startsWith('appindicator-') && button?._indicator);
}

class Observer {
    Windows() {
        return JSON.stringify(global.get_window_actors().filter(a => a.visible).map(a => {
            const w = a.meta_window;
            const r = w.get_frame_rect();
            return {
                id: w.get_id(), pid: w.get_pid(), title: w.get_title() ?? '', kind: kindOf(w),
                x: r.x, y: r.y, w: r.width, h: r.height,
            };
        }));
    }

    Activate(id) {
        const actor = global.get_window_actors().find(a => a.meta_window.get_id() === id);
        if (!actor)
            return false;
        Main.activateWindow(actor.meta_window);
        return true;
    }

    Indicators() {
        return JSON.stringify(indicators()
            .map(([key, button]) => {
                // (A button not laid out yet has no position.)
                const rect = rectOf(button);
                const placed = Object.values(rect).every(Number.isFinite);
                return { key, bus: button._indicator.busName, visible: button.visible && button.mapped && placed, ...rect };
            }));
    }

    Menu() {
        // The menu open in the top bar, or the one still closing (its box shown until the animation ends).
        const menu = Main.panel.menuManager.activeMenu ?? indicators().map(([, b]) => b.menu)
            .find(m => m instanceof PopupMenu.PopupMenu && m.actor.visible);
        if (!menu?.actor?.visible)
            return JSON.stringify(null);
        const items = [];
        const collect = m => {
            for (const item of m._getMenuItems()) {
                if (item instanceof PopupMenu.PopupMenuSection)
                    collect(item);
                else if (item.label && item.visible)
                    items.push({ label: item.label.get_text(), ...rectOf(item) });
            }
        };
        collect(menu);
        // The menu slides and fades in; until it has settled its items are not where they stay.
        const box = menu.actor;
        const settled = menu.isOpen && box.opacity === 255 && box.translation_x === 0 && box.translation_y === 0;
        return JSON.stringify({ items, open: menu.isOpen, settled, ...rectOf(box) });
    }

    Banner() {
        const tray = Main.messageTray;
        const banner = tray._banner;
        if (!banner || !tray.visible || !banner.mapped)
            return JSON.stringify(null);
        const n = banner.notification;
        return JSON.stringify({ title: n.title, body: n.bannerBodyText ?? '', ...rectOf(banner) });
    }
}

class Extension {
    enable() {
        this._dbus = Gio.DBusExportedObject.wrapJSObject(IFACE, new Observer());
        this._dbus.export(Gio.DBus.session, '/org/kivodialer/E2EShell');
        this._name = Gio.bus_own_name_on_connection(Gio.DBus.session, 'org.kivodialer.E2EShell',
            Gio.BusNameOwnerFlags.NONE, null, null);
        const leaveOverview = () => Main.overview.hide();
        if (Main.layoutManager._startingUp)
            this._startup = Main.layoutManager.connect('startup-complete', leaveOverview);
        else
            leaveOverview();
    }

    disable() {
        if (this._startup)
            Main.layoutManager.disconnect(this._startup);
        Gio.bus_unown_name(this._name);
        this._dbus.unexport();
        this._dbus = null;
    }
}

function init() {
    return new Extension();
}
