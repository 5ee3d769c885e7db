#!/usr/bin/env python3
"""Writes the line drawings of the help pages as SVG files (rendered to PNG by render.sh).

One drawing per help topic, all in the same style: dark lines on white, the instrument seen
from the front with its three sockets on the top edge, cables and arrows in red."""
import os

W, H = 560, 300
INK = '#222222'
RED = '#cc2222'
GREY = '#eeeeee'
FONT = 'DejaVu Sans'


class Drawing:
    def __init__(self):
        self.parts = []

    def add(self, s):
        self.parts.append(s)

    def line(self, x1, y1, x2, y2, colour=INK, width=3, dash=None):
        d = ' stroke-dasharray="%s"' % dash if dash else ''
        self.add('<line x1="%g" y1="%g" x2="%g" y2="%g" stroke="%s" stroke-width="%g" stroke-linecap="round"%s/>'
                 % (x1, y1, x2, y2, colour, width, d))

    def path(self, d, colour=INK, width=3, fill='none', dash=None):
        ds = ' stroke-dasharray="%s"' % dash if dash else ''
        self.add('<path d="%s" stroke="%s" stroke-width="%g" fill="%s" stroke-linecap="round" stroke-linejoin="round"%s/>'
                 % (d, colour, width, fill, ds))

    def rect(self, x, y, w, h, r=0, colour=INK, width=3, fill='white'):
        self.add('<rect x="%g" y="%g" width="%g" height="%g" rx="%g" stroke="%s" stroke-width="%g" fill="%s"/>'
                 % (x, y, w, h, r, colour, width, fill))

    def circle(self, cx, cy, r, colour=INK, width=3, fill='white'):
        self.add('<circle cx="%g" cy="%g" r="%g" stroke="%s" stroke-width="%g" fill="%s"/>'
                 % (cx, cy, r, colour, width, fill))

    def text(self, x, y, s, size=15, anchor='middle', colour=INK, bold=False):
        weight = 'bold' if bold else 'normal'
        s = s.replace('&', '&amp;').replace('<', '&lt;')
        self.add('<text x="%g" y="%g" font-family="%s" font-size="%g" font-weight="%s" text-anchor="%s" fill="%s">%s</text>'
                 % (x, y, FONT, size, weight, anchor, colour, s))

    def arrow(self, x1, y1, x2, y2, colour=RED, width=3):
        import math
        self.line(x1, y1, x2, y2, colour, width)
        a = math.atan2(y2 - y1, x2 - x1)
        l = 12
        p1 = (x2 - l * math.cos(a - 0.45), y2 - l * math.sin(a - 0.45))
        p2 = (x2 - l * math.cos(a + 0.45), y2 - l * math.sin(a + 0.45))
        self.path('M%g,%g L%g,%g L%g,%g Z' % (p1[0], p1[1], x2, y2, p2[0], p2[1]), colour, 2, colour)

    def badge(self, x, y, n):
        self.circle(x, y, 13, RED, 2, RED)
        self.text(x, y + 5, str(n), 15, colour='white', bold=True)

    def svg(self):
        return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n'
                '<rect width="%d" height="%d" fill="white"/>\n%s\n</svg>\n'
                % (W, H, W, H, W, H, '\n'.join(self.parts)))


# The instrument: body, screen with a small trace, keys, and the sockets on the top edge.
SOCKETS = ['RF', 'REF/RFF/CAL', 'SYNC']


def instrument(d, x, y, w=150, h=200, screen='spectrum'):
    d.rect(x, y, w, h, 16, INK, 3, GREY)
    d.rect(x + 14, y + 18, w - 28, h * 0.48, 4, INK, 2, 'white')
    sx, sy, sw, sh = x + 14, y + 18, w - 28, h * 0.48
    if screen == 'spectrum':
        pts = []
        import math
        for i in range(41):
            t = i / 40.0
            v = 0.15 + 0.1 * math.sin(i * 1.7) ** 2
            if 14 <= i <= 16 or 27 <= i <= 28:
                v = 0.75 if i in (15, 27) else 0.45
            pts.append('%g,%g' % (sx + 6 + t * (sw - 12), sy + sh - 6 - v * (sh - 14)))
        d.path('M' + ' L'.join(pts), RED, 2)
    elif screen == 'comb':
        for i in range(9):
            xx = sx + 10 + i * (sw - 20) / 8.0
            d.line(xx, sy + sh - 6, xx, sy + 14 + (i % 2) * 6, RED, 2)
    elif screen == 'phase':
        import math
        pts = ['%g,%g' % (sx + 6 + i * (sw - 12) / 40.0, sy + sh / 2 - math.sin(i / 40.0 * 2 * math.pi) * sh * 0.3)
               for i in range(41)]
        d.path('M' + ' L'.join(pts), INK, 1.5)
        for xx, hh in ((0.2, 0.3), (0.24, 0.22), (0.7, 0.3), (0.74, 0.2)):
            d.line(sx + xx * sw, sy + sh / 2, sx + xx * sw, sy + sh / 2 - hh * sh, RED, 2)
    # keys
    ky = y + h * 0.48 + 34
    for i in range(3):
        d.rect(x + 22 + i * (w - 44) / 3.0 + 4, ky, (w - 44) / 3.0 - 8, 18, 5, INK, 2, 'white')
    d.rect(x + 22 + 4, ky + 28, w - 52, 18, 5, INK, 2, 'white')
    # sockets
    pos = {}
    for i, name in enumerate(SOCKETS):
        cx = x + w * (i + 1) / 4.0
        d.rect(cx - 9, y - 14, 18, 14, 3, INK, 2, 'white')
        pos[name] = (cx, y - 14)
    return pos


def socket_labels(d, pos, only=None, dy=-22):
    for name, (cx, cy) in pos.items():
        if only and name not in only:
            continue
        d.text(cx, cy + dy, name, 12)


def uhf_antenna(d, x, y, waves=True):
    """A UHF antenna: a flat sensor disc on a short stub; (x, y) is its socket end."""
    d.rect(x - 6, y - 30, 12, 30, 2, INK, 2, 'white')
    d.path('M%g,%g L%g,%g L%g,%g L%g,%g Z' % (x - 40, y - 30, x + 40, y - 30, x + 28, y - 62, x - 28, y - 62), INK, 3, 'white')
    for i in range(3 if waves else 0):
        d.path('M%g,%g Q%g,%g %g,%g' % (x - 20 - i * 12, y - 74 - i * 10, x, y - 90 - i * 14, x + 20 + i * 12, y - 74 - i * 10), RED, 2)


def title(d, s):
    d.text(W / 2, 24, s, 17, bold=True)


def save(name, d):
    open(os.path.join(os.path.dirname(os.path.abspath(__file__)), name + '.svg'), 'w').write(d.svg())


# 1: UHF antenna on the RF socket
d = Drawing()
pos = instrument(d, 60, 80)
socket_labels(d, pos, ['RF'])
uhf_antenna(d, 330, 210)
d.path('M%g,%g C%g,%g %g,%g %g,%g' % (pos['RF'][0], pos['RF'][1], pos['RF'][0], 20, 330, 280, 330, 212), RED, 4)
d.badge(250, 70, 1)
d.text(420, 190, 'UHF antenna', 15, 'start')
d.text(420, 210, 'to the RF socket', 13, 'start')
d.rect(410, 240, 120, 40, 10, INK, 2, '#aaaaaa')
d.text(470, 266, 'UHF', 16, bold=True)
d.badge(395, 260, 2)
d.text(470, 296, 'antenna button', 12)
save('anschluss_an_uhf', d)

# 2: two UHF sensors: measuring sensor on RF, reference sensor on REF
d = Drawing()
pos = instrument(d, 205, 90)
d.text(pos['RF'][0] - 14, pos['RF'][1] - 4, 'RF', 12, 'end')
d.text(pos['REF/RFF/CAL'][0] + 22, pos['REF/RFF/CAL'][1] - 4, 'REF/RFF/CAL', 12, 'start')
uhf_antenna(d, 90, 200)
uhf_antenna(d, 470, 200)
d.path('M%g,%g C%g,%g %g,%g %g,%g' % (pos['RF'][0], pos['RF'][1], pos['RF'][0], 30, 90, 270, 90, 202), RED, 4)
d.path('M%g,%g C%g,%g %g,%g %g,%g' % (pos['REF/RFF/CAL'][0], pos['REF/RFF/CAL'][1], pos['REF/RFF/CAL'][0], 30, 470, 270, 470, 202), RED, 4)
d.text(90, 230, 'Sensor 1: towards', 13)
d.text(90, 247, 'the equipment', 13)
d.text(470, 230, 'Sensor 2: towards', 13)
d.text(470, 247, 'the surroundings', 13)
d.badge(40, 120, 1)
d.badge(520, 120, 2)
save('zwei_uhf_sensoren', d)

# 3: dipole antenna, both rods pulled out, on the RF socket
d = Drawing()
pos = instrument(d, 40, 90)
socket_labels(d, pos, ['RF'])
cx, cy = 390, 120
d.line(cx - 16, cy, cx - 150, cy, INK, 4)
d.line(cx + 16, cy, cx + 150, cy, INK, 4)
d.line(cx - 80, cy, cx - 150, cy, INK, 7)
d.line(cx + 80, cy, cx + 150, cy, INK, 7)
d.rect(cx - 16, cy - 12, 32, 24, 4, INK, 3, GREY)
d.arrow(cx - 90, cy - 22, cx - 148, cy - 22)
d.arrow(cx + 90, cy - 22, cx + 148, cy - 22)
d.path('M%g,%g C%g,%g %g,%g %g,%g' % (pos['RF'][0], pos['RF'][1], pos['RF'][0], 20, cx, 240, cx, cy + 12), RED, 4)
d.text(cx, cy - 44, 'Pull both rods out fully', 14)
d.text(cx + 20, 230, 'Hold the rods parallel', 13, 'start')
d.text(cx + 20, 247, 'to the conductors of', 13, 'start')
d.text(cx + 20, 264, 'the equipment', 13, 'start')
save('anschluss_dipol', d)

# 4: the sockets of the instrument
d = Drawing()
pos = instrument(d, 205, 100)
labels = {'RF': (90, ['UHF antenna, dipole,', 'UHF sensor 1']),
          'REF/RFF/CAL': (280, ['TEV or HFCT sensor,', 'UHF sensor 2']),
          'SYNC': (470, ['Sync sensor', 'RQ4417 (E) or (H)'])}
for name, (cx, cy) in pos.items():
    tx, lines = labels[name]
    d.path('M%g,%g L%g,%g L%g,%g' % (cx, cy, cx, 76, tx, 76) if tx != cx else 'M%g,%g L%g,%g' % (cx, cy, tx, 76), INK, 1.5)
    d.text(tx, 30, name, 15, bold=True)
    d.text(tx, 48, lines[0], 12)
    d.text(tx, 63, lines[1], 12)
    d.line(tx, 68, tx, 76, INK, 1.5)
d.text(40, 250, 'Switch the instrument', 12, 'start')
d.text(40, 266, 'off before changing', 12, 'start')
d.text(40, 282, 'a sensor', 12, 'start')
save('sensoranschluss', d)

# 5: TEV sensor on the switchgear panel, HFCT clamp on the earth connection of a cable
d = Drawing()
pos = instrument(d, 205, 90)
# switchgear panel with a TEV sensor
d.rect(20, 60, 130, 220, 4, INK, 3, 'white')
d.line(20, 110, 150, 110, INK, 2)
d.line(20, 200, 150, 200, INK, 2)
d.circle(120, 85, 8, INK, 2)
d.rect(55, 140, 50, 34, 8, INK, 3, GREY)
d.text(80, 163, 'TEV', 13, bold=True)
d.text(85, 300 - 8, 'metal panel', 12)
# cable with an HFCT clamp
d.line(470, 40, 470, 290, INK, 8)
d.line(470, 240, 530, 290, INK, 3)
d.text(520, 268, 'earth', 12, 'start')
d.path('M%g,%g A40,14 0 1,0 %g,%g' % (430, 200, 510, 200), INK, 5)
d.path('M%g,%g A40,14 0 0,0 %g,%g' % (430, 200, 510, 200), INK, 5, dash='6,6')
d.text(420, 228, 'HFCT', 13, 'end', bold=True)
d.text(470, 34, '', 12)
c = pos['REF/RFF/CAL']
d.path('M%g,%g C%g,%g %g,%g %g,%g' % (c[0], c[1], c[0], 10, 80, 60, 80, 140), RED, 4)
d.path('M%g,%g C%g,%g %g,%g %g,%g' % (c[0], c[1], c[0], 30, 430, 120, 432, 198), RED, 4, dash='10,8')
d.text(c[0], 20, 'REF/RFF/CAL: one sensor at a time', 12)
save('tev_und_hfct_sensoren', d)

# 6: functional check with the built-in pulse generator
d = Drawing()
pos = instrument(d, 60, 100, screen='comb')
uhf_antenna(d, pos['RF'][0], pos['RF'][1], waves=False)
d.text(330, 90, 'Setup > Spectrum', 15, 'start', bold=True)
d.rect(330, 110, 200, 40, 10, INK, 2, '#aaaaaa')
d.text(430, 136, 'Pulse generator: On', 14)
d.badge(315, 130, 1)
d.text(337, 195, 'Evenly spaced lines across', 13, 'start')
d.text(337, 212, 'the band: the receiver works', 13, 'start')
d.badge(315, 200, 2)
d.text(337, 262, 'Switch the generator off again', 13, 'start')
d.badge(315, 257, 3)
d.arrow(300, 200, 200, 170)
save('functional_check', d)

# 7: internal field probe (Int E)
d = Drawing()
pos = instrument(d, 230, 90, screen='phase')
for i in range(4):
    d.path('M%g,%g Q%g,%g %g,%g' % (60 + i * 10, 60, 120 + i * 28, 170, 60 + i * 10, 280), RED, 2, dash='6,6')
d.line(40, 40, 40, 290, INK, 10)
d.text(40, 30, 'live part', 12)
d.text(140, 290, 'mains field', 12)
d.text(400, 110, 'Int E', 16, 'start', bold=True)
d.text(400, 134, 'No cable: the', 13, 'start')
d.text(400, 151, 'built-in probe', 13, 'start')
d.text(400, 168, 'picks up the', 13, 'start')
d.text(400, 185, 'mains field', 13, 'start')
save('sync_1', d)

# 8: external E-field sync sensor on the SYNC socket
d = Drawing()
pos = instrument(d, 230, 90, screen='phase')
socket_labels(d, pos, ['SYNC'])
d.line(40, 40, 40, 290, INK, 10)
d.text(40, 30, 'live part', 12)
d.rect(90, 150, 60, 40, 8, INK, 3, GREY)
d.text(120, 175, 'E', 16, bold=True)
c = pos['SYNC']
d.path('M%g,%g C%g,%g %g,%g %g,%g' % (c[0], c[1], c[0], 10, 120, 60, 120, 150), RED, 4)
d.text(400, 150, 'RQ4417 (E)', 16, 'start', bold=True)
d.text(400, 174, 'Place the sensor', 13, 'start')
d.text(400, 191, 'near a live part', 13, 'start')
d.text(120, 215, 'field sensor', 12)
save('sync_2', d)

# 9: magnetic (H) sync sensor on a current-carrying conductor
d = Drawing()
pos = instrument(d, 230, 90, screen='phase')
socket_labels(d, pos, ['SYNC'])
d.line(120, 40, 120, 290, INK, 8)
d.text(120, 30, 'conductor with load current', 12)
d.path('M%g,%g A36,12 0 1,0 %g,%g' % (84, 200, 156, 200), INK, 5)
d.path('M%g,%g A36,12 0 0,0 %g,%g' % (84, 200, 156, 200), INK, 5, dash='6,6')
d.text(175, 205, 'H', 16, 'start', bold=True)
c = pos['SYNC']
d.path('M%g,%g C%g,%g %g,%g %g,%g' % (c[0], c[1], c[0], 10, 170, 120, 150, 196), RED, 4)
d.text(400, 150, 'RQ4417 (H)', 16, 'start', bold=True)
d.text(400, 174, 'Clamp the sensor', 13, 'start')
d.text(400, 191, 'around a conductor', 13, 'start')
d.text(400, 208, 'that carries current', 13, 'start')
save('sync_3', d)

# 10: radio sync transmitter in a mains socket
d = Drawing()
pos = instrument(d, 330, 90, screen='phase')
d.rect(40, 110, 110, 130, 10, INK, 3, 'white')
d.circle(80, 175, 8, INK, 2)
d.circle(110, 175, 8, INK, 2)
d.rect(70, 150, 50, 50, 8, INK, 3, GREY)
d.text(95, 180, 'TL', 13, bold=True)
d.line(95, 150, 95, 115, INK, 3)
for i in range(3):
    d.path('M%g,%g A%g,%g 0 0,1 %g,%g' % (150 + i * 14, 110 - i * 14, 30 + i * 16, 30 + i * 16, 180 + i * 26, 150), RED, 2.5)
for i in range(3):
    d.path('M%g,%g A%g,%g 0 0,0 %g,%g' % (320 - i * 14, 110 - i * 14, 30 + i * 16, 30 + i * 16, 290 - i * 26, 150), RED, 2.5)
d.text(95, 262, 'mains socket', 12)
d.text(245, 230, 'TL4418', 16, bold=True)
d.text(245, 254, 'radio link, no cable', 13)
save('sync_4', d)
