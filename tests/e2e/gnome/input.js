// input.js: pointer and keyboard input on GNOME Shell (Mutter), for the end-to-end suite, run with gjs.
// A headless Mutter has no input devices; this client opens a remote desktop session of Mutter with a
// screen cast of the monitor (the stream gives the absolute pointer its coordinates) and sends its
// events there. It takes the commands of the suite's other input client (tests/e2e/wayland/WlInput.cpp),
// one a line on standard input, printing "ready" once the session runs and "ok" (or "error ...") after
// each:
//
//   move X Y          the pointer to X, Y in the monitor's pixels
//   click BUTTON [N]  button 1 (left), 2 (middle) or 3 (right), N times, 80 ms apart
//   key KEY...        keys as xdotool names them: Escape, Return, Down, x, ctrl+c, shift+Tab
//   type TEXT         the text's characters, one key each
//   sleep MS
imports.gi.versions.Gdk = '3.0';
const { Gdk, Gio, GLib } = imports.gi;

const bus = Gio.DBus.session;
const MUTTER = 'org.gnome.Mutter';
// The buttons as evdev codes (linux/input-event-codes.h): BTN_LEFT, BTN_MIDDLE, BTN_RIGHT.
const BUTTONS = { 1: 0x110, 2: 0x112, 3: 0x111 };
const MODIFIERS = { ctrl: 'Control_L', control: 'Control_L', shift: 'Shift_L', alt: 'Alt_L', super: 'Super_L' };

function call(name, path, iface, method, args, replyType = null) {
    return new Promise((resolve, reject) => {
        bus.call(name, path, iface, method, args, replyType ? new GLib.VariantType(replyType) : null,
            Gio.DBusCallFlags.NONE, 5000, null, (_bus, result) => {
                try {
                    const reply = bus.call_finish(result);
                    resolve(reply ? reply.deepUnpack() : []);
                } catch (e) {
                    reject(e);
                }
            });
    });
}
const sleep = ms => new Promise(resolve => GLib.timeout_add(GLib.PRIORITY_DEFAULT, ms, () => {
    resolve();
    return GLib.SOURCE_REMOVE;
}));

let rdPath, streamPath;
const rd = (method, args) => call(MUTTER + '.RemoteDesktop', rdPath, MUTTER + '.RemoteDesktop.Session', method, args);

// The monitor's connector, from the display configuration: the virtual monitor of a headless Shell.
async function firstConnector() {
    const [, monitors] = await call(MUTTER + '.DisplayConfig', '/org/gnome/Mutter/DisplayConfig',
        MUTTER + '.DisplayConfig', 'GetCurrentState', null, '(ua((ssss)a(siiddada{sv})a{sv})a(iiduba(ssss)a{sv})a{sv})');
    return monitors[0][0][0];
}

async function startSession() {
    [rdPath] = await call(MUTTER + '.RemoteDesktop', '/org/gnome/Mutter/RemoteDesktop', MUTTER + '.RemoteDesktop',
        'CreateSession', null, '(o)');
    const [sessionId] = await call(MUTTER + '.RemoteDesktop', rdPath, 'org.freedesktop.DBus.Properties', 'Get',
        new GLib.Variant('(ss)', [MUTTER + '.RemoteDesktop.Session', 'SessionId']), '(v)');
    const [scPath] = await call(MUTTER + '.ScreenCast', '/org/gnome/Mutter/ScreenCast', MUTTER + '.ScreenCast',
        'CreateSession', new GLib.Variant('(a{sv})', [{ 'remote-desktop-session-id': sessionId }]), '(o)');
    [streamPath] = await call(MUTTER + '.ScreenCast', scPath, MUTTER + '.ScreenCast.Session', 'RecordMonitor',
        new GLib.Variant('(sa{sv})', [await firstConnector(), {}]), '(o)');
    // The stream's node comes once the session runs; absolute motion is refused before that.
    const added = new Promise(resolve => {
        bus.signal_subscribe(null, MUTTER + '.ScreenCast.Stream', 'PipeWireStreamAdded', streamPath, null,
            Gio.DBusSignalFlags.NONE, () => resolve());
    });
    await rd('Start', null);
    await Promise.race([added, sleep(3000)]);
    // The first key of a new virtual keyboard is lost (its keymap reaches the focused client with it):
    // a modifier alone, pressed and released, goes first.
    await keysym(keysymOf('Shift_L'), true);
    await keysym(keysymOf('Shift_L'), false);
}

const pointerTo = (x, y) => rd('NotifyPointerMotionAbsolute', new GLib.Variant('(sdd)', [streamPath, x, y]));
const button = (code, down) => rd('NotifyPointerButton', new GLib.Variant('(ib)', [code, down]));
const keysym = (sym, down) => rd('NotifyKeyboardKeysym', new GLib.Variant('(ub)', [sym, down]));

function keysymOf(name) {
    const sym = Gdk.keyval_from_name(name);
    if (sym && sym !== 0xffffff)
        return sym;
    throw new Error(`no key ${name}`);
}

// A chord such as ctrl+c: the modifiers down, the key down and up, the modifiers up.
async function chord(keys) {
    const names = keys.split('+');
    const mods = names.slice(0, -1).map(m => keysymOf(MODIFIERS[m.toLowerCase()] ?? m));
    const key = keysymOf(names[names.length - 1]);
    for (const m of mods)
        await keysym(m, true);
    await keysym(key, true);
    await keysym(key, false);
    for (const m of mods.reverse())
        await keysym(m, false);
}

async function run(line) {
    const [command, ...args] = line.trim().split(/\s+/);
    switch (command) {
    case 'move':
        await pointerTo(Number(args[0]), Number(args[1]));
        break;
    case 'click': {
        const code = BUTTONS[args[0]];
        if (!code)
            throw new Error(`no button ${args[0]}`);
        const count = Number(args[1] ?? 1);
        for (let i = 0; i < count; i++) {
            if (i > 0)
                await sleep(80);
            await button(code, true);
            await button(code, false);
        }
        break;
    }
    case 'key':
        for (const keys of args) {
            await chord(keys);
            await sleep(30);
        }
        break;
    case 'type':
        for (const ch of line.trim().slice(5)) {
            const sym = Gdk.unicode_to_keyval(ch.codePointAt(0));
            await keysym(sym, true);
            await keysym(sym, false);
            await sleep(20);
        }
        break;
    case 'sleep':
        await sleep(Number(args[0]));
        break;
    default:
        throw new Error(`unknown command ${command}`);
    }
    // Mutter handles the calls in order; a round trip to it makes sure the last one has been taken.
    await call(MUTTER + '.RemoteDesktop', rdPath, 'org.freedesktop.DBus.Peer', 'Ping', null);
}

const loop = new GLib.MainLoop(null, false);
const stdin = new Gio.DataInputStream({ base_stream: new Gio.UnixInputStream({ fd: 0, close_fd: false }) });
const say = text => {
    print(text);
};

function readLine() {
    stdin.read_line_async(GLib.PRIORITY_DEFAULT, null, async (stream, result) => {
        const [bytes] = stream.read_line_finish_utf8(result);
        if (bytes === null) {
            loop.quit();
            return;
        }
        try {
            if (bytes.trim())
                await run(bytes);
            say('ok');
        } catch (e) {
            say(`error ${e.message}`);
        }
        readLine();
    });
}

startSession().then(() => {
    say('ready');
    readLine();
}).catch(e => {
    printerr(`input.js: no remote desktop session: ${e.message}`);
    loop.quit();
});
loop.run();
