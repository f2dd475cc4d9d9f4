"""Reads the screen of an X display quickly, for timing what an editor shows.

Two ways: the X shared-memory extension through ctypes (a few ms a frame, no copy over the
socket), and `xwd -root` through a pipe (slower, but needs nothing beyond the X tools).
Both return the whole root window as 32-bit BGRX rows.
"""

import ctypes
import ctypes.util
import struct
import subprocess

IPC_PRIVATE = 0
IPC_CREAT = 0o1000
IPC_RMID = 0
Z_PIXMAP = 2
ALL_PLANES = ctypes.c_ulong(~0 & 0xFFFFFFFFFFFFFFFF)


class XImage(ctypes.Structure):
    # Only the leading fields are read; the rest of the struct stays Xlib's.
    _fields_ = [
        ("width", ctypes.c_int),
        ("height", ctypes.c_int),
        ("xoffset", ctypes.c_int),
        ("format", ctypes.c_int),
        ("data", ctypes.c_void_p),
        ("byte_order", ctypes.c_int),
        ("bitmap_unit", ctypes.c_int),
        ("bitmap_bit_order", ctypes.c_int),
        ("bitmap_pad", ctypes.c_int),
        ("depth", ctypes.c_int),
        ("bytes_per_line", ctypes.c_int),
        ("bits_per_pixel", ctypes.c_int),
    ]


class XShmSegmentInfo(ctypes.Structure):
    _fields_ = [
        ("shmseg", ctypes.c_ulong),
        ("shmid", ctypes.c_int),
        ("shmaddr", ctypes.c_void_p),
        ("readOnly", ctypes.c_int),
    ]


class Frame:
    """One picture of the screen: BGRX bytes, `stride` bytes a row."""

    __slots__ = ("data", "width", "height", "stride", "time")

    def __init__(self, data, width, height, stride, when):
        self.data = data
        self.width = width
        self.height = height
        self.stride = stride
        self.time = when


class ShmGrabber:
    def __init__(self, display_name):
        self.x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.xext = ctypes.CDLL(ctypes.util.find_library("Xext") or "libXext.so.6")
        self.libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
        x11, xext, libc = self.x11, self.xext, self.libc
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDefaultScreen.argtypes = [ctypes.c_void_p]
        x11.XRootWindow.restype = ctypes.c_ulong
        x11.XRootWindow.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x11.XDefaultVisual.restype = ctypes.c_void_p
        x11.XDefaultVisual.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x11.XDefaultDepth.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x11.XDisplayWidth.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x11.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        xext.XShmQueryExtension.argtypes = [ctypes.c_void_p]
        xext.XShmCreateImage.restype = ctypes.POINTER(XImage)
        xext.XShmCreateImage.argtypes = [
            ctypes.c_void_p, ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_char_p,
            ctypes.POINTER(XShmSegmentInfo), ctypes.c_uint, ctypes.c_uint]
        xext.XShmAttach.argtypes = [ctypes.c_void_p, ctypes.POINTER(XShmSegmentInfo)]
        xext.XShmDetach.argtypes = [ctypes.c_void_p, ctypes.POINTER(XShmSegmentInfo)]
        xext.XShmGetImage.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(XImage), ctypes.c_int, ctypes.c_int,
            ctypes.c_ulong]
        libc.shmget.restype = ctypes.c_int
        libc.shmget.argtypes = [ctypes.c_int, ctypes.c_size_t, ctypes.c_int]
        libc.shmat.restype = ctypes.c_void_p
        libc.shmat.argtypes = [ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
        libc.shmdt.argtypes = [ctypes.c_void_p]
        libc.shmctl.argtypes = [ctypes.c_int, ctypes.c_int, ctypes.c_void_p]

        self.dpy = x11.XOpenDisplay(display_name.encode())
        if not self.dpy:
            raise RuntimeError(f"cannot open display {display_name}")
        if not xext.XShmQueryExtension(self.dpy):
            raise RuntimeError("no MIT-SHM on this display")
        screen = x11.XDefaultScreen(self.dpy)
        self.root = x11.XRootWindow(self.dpy, screen)
        self.width = x11.XDisplayWidth(self.dpy, screen)
        self.height = x11.XDisplayHeight(self.dpy, screen)
        self.info = XShmSegmentInfo()
        self.image = xext.XShmCreateImage(
            self.dpy, x11.XDefaultVisual(self.dpy, screen), x11.XDefaultDepth(self.dpy, screen),
            Z_PIXMAP, None, ctypes.byref(self.info), self.width, self.height)
        img = self.image.contents
        if img.bits_per_pixel != 32:
            raise RuntimeError(f"{img.bits_per_pixel} bits a pixel, expected 32")
        self.stride = img.bytes_per_line
        self.size = self.stride * self.height
        self.info.shmid = libc.shmget(IPC_PRIVATE, self.size, IPC_CREAT | 0o600)
        if self.info.shmid < 0:
            raise OSError(ctypes.get_errno(), "shmget")
        self.info.shmaddr = libc.shmat(self.info.shmid, None, 0)
        img.data = self.info.shmaddr
        self.info.readOnly = 0
        xext.XShmAttach(self.dpy, ctypes.byref(self.info))
        x11.XSync(self.dpy, 0)
        # Marked for removal now, so the segment goes away even if this process dies.
        libc.shmctl(self.info.shmid, IPC_RMID, None)

    def grab(self, clock):
        self.xext.XShmGetImage(self.dpy, self.root, self.image, 0, 0, ALL_PLANES)
        when = clock()
        return Frame(ctypes.string_at(self.info.shmaddr, self.size), self.width, self.height,
                     self.stride, when)

    def close(self):
        if self.dpy:
            self.xext.XShmDetach(self.dpy, ctypes.byref(self.info))
            self.libc.shmdt(ctypes.c_void_p(self.info.shmaddr))
            self.x11.XCloseDisplay(self.dpy)
            self.dpy = None


class XwdGrabber:
    def __init__(self, display_name):
        self.display = display_name

    def grab(self, clock):
        raw = subprocess.run(["xwd", "-root", "-silent", "-display", self.display],
                             stdout=subprocess.PIPE, check=True).stdout
        when = clock()
        (header_size, _version, _format, _depth, width, height, _xoff, _byte_order, _unit,
         _bit_order, _pad, bits_per_pixel, stride, _visual, _r, _g, _b, _bits, _entries,
         ncolors) = struct.unpack(">20I", raw[:80])
        # With a DirectColor visual installed xwd may say 24 bits yet write 4 bytes a pixel.
        if bits_per_pixel != 32 and stride != width * 4:
            raise RuntimeError(f"xwd gave {bits_per_pixel} bits a pixel, {stride} bytes a row")
        start = header_size + ncolors * 12
        return Frame(raw[start:start + stride * height], width, height, stride, when)

    def close(self):
        pass


def make_grabber(kind, display_name):
    if kind == "shm":
        return ShmGrabber(display_name)
    if kind == "xwd":
        return XwdGrabber(display_name)
    raise ValueError(kind)


# Per-byte tables for counting pixels by one channel (green: byte 1 of BGRX).
_DARK = bytes(1 if v < 110 else 0 for v in range(256))
_LIGHT = bytes(1 if v > 235 else 0 for v in range(256))


def count_pixels(frame, rect):
    """(dark, light, total) pixels in rect = (x, y, w, h), judged by the green channel."""
    x, y, w, h = rect
    x = max(0, x)
    y = max(0, y)
    w = min(w, frame.width - x)
    h = min(h, frame.height - y)
    if w <= 0 or h <= 0:
        return 0, 0, 0
    data, stride = frame.data, frame.stride
    dark = light = 0
    for row in range(y, y + h):
        start = row * stride + x * 4 + 1
        greens = data[start:start + w * 4:4]
        dark += greens.translate(_DARK).count(1)
        light += greens.translate(_LIGHT).count(1)
    return dark, light, w * h


def diff_box(a, b, rect=None):
    """Bounding box (x, y, w, h) of the pixels that differ between two frames, or None."""
    stride = a.stride
    x0, y0, w, h = rect or (0, 0, a.width, a.height)
    left, right, top, bottom = None, None, None, None
    da, db = a.data, b.data
    for row in range(y0, y0 + h):
        s = row * stride + x0 * 4
        e = s + w * 4
        ra, rb = da[s:e], db[s:e]
        if ra == rb:
            continue
        # Little-endian integers: the lowest set bit is the leftmost differing byte.
        x = int.from_bytes(ra, "little") ^ int.from_bytes(rb, "little")
        lo = ((x & -x).bit_length() - 1) // 32
        hi = (x.bit_length() - 1) // 32
        left = lo if left is None else min(left, lo)
        right = hi if right is None else max(right, hi)
        if top is None:
            top = row
        bottom = row
    if top is None:
        return None
    return (x0 + left, top, right - left + 1, bottom - top + 1)


def write_png(frame, path, rect=None):
    """Writes the frame (or a part) as an RGB PNG with the standard library only."""
    import zlib
    x0, y0, w, h = rect or (0, 0, frame.width, frame.height)
    rows = []
    for row in range(y0, y0 + h):
        s = row * frame.stride + x0 * 4
        bgrx = frame.data[s:s + w * 4]
        rgb = bytearray(w * 3)
        rgb[0::3] = bgrx[2::4]
        rgb[1::3] = bgrx[1::4]
        rgb[2::3] = bgrx[0::4]
        rows.append(b"\x00" + bytes(rgb))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    png = (b"\x89PNG\r\n\x1a\n" +
           chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(b"".join(rows), 3)) + chunk(b"IEND", b""))
    with open(path, "wb") as out:
        out.write(png)


class Keyboard:
    """Sends keys through XTest on its own connection, so the send time is known to the
    millisecond (an `xdotool key` process takes 15-40 ms to start and send)."""

    def __init__(self, display_name):
        self.x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.xtst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                ctypes.c_ulong]
        self.dpy = self.x11.XOpenDisplay(display_name.encode())
        if not self.dpy:
            raise RuntimeError(f"cannot open display {display_name}")
        self.x11.XDefaultScreen.argtypes = [ctypes.c_void_p]
        self.x11.XRootWindow.restype = ctypes.c_ulong
        self.x11.XRootWindow.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x11.XSetWindowBackground.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                                  ctypes.c_ulong]
        self.x11.XClearWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.root = self.x11.XRootWindow(self.dpy, self.x11.XDefaultScreen(self.dpy))

    def paint_root(self, pixel):
        """Repaints the desktop in one colour: a change on screen with no program in between."""
        self.x11.XSetWindowBackground(self.dpy, self.root, pixel)
        self.x11.XClearWindow(self.dpy, self.root)
        self.x11.XSync(self.dpy, 0)

    def code(self, name):
        aliases = {"ctrl": "Control_L", "shift": "Shift_L", "alt": "Alt_L"}
        keysym = self.x11.XStringToKeysym(aliases.get(name, name).encode())
        code = self.x11.XKeysymToKeycode(self.dpy, keysym)
        if not code:
            raise ValueError(f"no key for {name}")
        return code

    def key(self, combo):
        """Presses and releases a chord like "ctrl+End" or "m"; returns when the server has it."""
        codes = [self.code(part) for part in combo.split("+")]
        for code in codes:
            self.xtst.XTestFakeKeyEvent(self.dpy, code, 1, 0)
        for code in reversed(codes):
            self.xtst.XTestFakeKeyEvent(self.dpy, code, 0, 0)
        self.x11.XSync(self.dpy, 0)

    def close(self):
        if self.dpy:
            self.x11.XCloseDisplay(self.dpy)
            self.dpy = None
