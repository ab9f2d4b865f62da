#!/usr/bin/env python3
"""Plots a soak run's samples (seconds,process,handles,driver_keys,user,gdi,windows,private_kb) to a PNG with
ImageMagick: the counts in the upper panel, the private memory in the lower one; a grey line
marks each new viewer process (a power-off and start again).
   plot_samples.py samples.csv out.png [title]"""
import csv, subprocess, sys

rows = list(csv.DictReader(open(sys.argv[1])))
out, title = sys.argv[2], (sys.argv[3] if len(sys.argv) > 3 else '')
if not rows:
    sys.exit('no samples')
W, H, L, R = 960, 620, 70, 20
panels = [(50, 330, [('handles', '#c0392b'), ('driver_keys', '#e67e22'), ('user', '#2471a3'), ('gdi', '#7d3c98'), ('windows', '#229954')], 'count'),
          (390, 570, [('private_kb', '#b9770e')], 'private KB')]
t = [int(r['seconds']) for r in rows]
t1 = max(max(t), 1)
mvg = ['viewbox 0 0 %d %d' % (W, H), 'fill white', 'rectangle 0 0 %d %d' % (W, H),
       'font-size 14', 'fill black', 'text %d 24 "%s"' % (L, 'KIVO soak: the viewer\'s counts over time ' + title)]

def x_of(s):
    return L + (W - L - R) * s / t1

for top, bottom, series, label in panels:
    vmax = max(max(int(r.get(k) or 0) for r in rows) for k, _ in series)
    vmax = max(10, int(vmax * 1.15) + 1)
    y_of = lambda v: bottom - (bottom - top) * v / vmax
    mvg += ['stroke #888888', 'fill none', 'rectangle %d %d %d %d' % (L, top, W - R, bottom), 'stroke none', 'fill black']
    for i in range(5):
        v = vmax * i // 4
        mvg += ['text %d %d "%d"' % (8, y_of(v) + 4, v)]
        mvg += ['stroke #dddddd', 'line %d %d %d %d' % (L, y_of(v), W - R, y_of(v)), 'stroke none']
    mvg += ['text %d %d "%s"' % (L + 4, top - 6, label)]
    # New processes.
    for i in range(1, len(rows)):
        if rows[i]['process'] != rows[i - 1]['process']:
            mvg += ['stroke #bbbbbb', 'line %.1f %d %.1f %d' % (x_of(t[i]), top, x_of(t[i]), bottom), 'stroke none']
    lx = W - R - 110 * len(series)
    for n, (key, colour) in enumerate(series):
        pts = ' '.join('%.1f,%.1f' % (x_of(t[i]), y_of(int(rows[i].get(key) or 0))) for i in range(len(rows)))
        mvg += ['stroke %s' % colour, 'stroke-width 1.5', 'fill none', 'polyline %s' % pts, 'stroke none', 'fill %s' % colour,
                'rectangle %d %d %d %d' % (lx + 110 * n, top - 16, lx + 110 * n + 10, top - 6),
                'fill black', 'text %d %d "%s"' % (lx + 110 * n + 14, top - 6, key)]
for s in range(0, t1 + 1, max(60, (t1 // 10) // 60 * 60 or 60)):
    mvg += ['text %.1f %d "%d s"' % (x_of(s) - 10, 590, s)]
# One drawing argument (the security policy of many systems refuses "@file" and the MVG reader).
import glob
fonts = glob.glob('/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf') + glob.glob('/usr/share/fonts/**/*.ttf', recursive=True)
font = ['-font', fonts[0]] if fonts else []
subprocess.run(['convert'] + font + ['-size', '%dx%d' % (W, H), 'xc:white', '-draw', '\n'.join(mvg[1:]), out], check=True)
