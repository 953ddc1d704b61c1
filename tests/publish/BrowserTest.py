"""The published sample world in headless Chromium, from file://.

At level 0, after a Go from the keyboard, after a Go by the button and after
the zoom-in button, the
map's pixels in the screenshot are those of `kelderwyn-inspect render
--markers` of the level, cropped to the view the page reports, and the
page's background beyond the picture; only what lies over the map, the
page's panel and Leaflet's zoom buttons, is left out. The Go ends at the place's level with the
place at the view's centre, the status line says so, and the browser logs
no error.

    BrowserTest.py WORK INSPECT SCREENSHOT_DIR   (WORK holds world/ and site/)
"""
import json
import os
import struct
import subprocess
import sys
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

WORK, INSPECT, SHOTS = sys.argv[1:4]
WORLD = os.path.join(WORK, 'world')
SIZE = (1000, 700)


def load_site():
    with open(os.path.join(WORK, 'site', 'places.js'), encoding='utf-8') as f:
        text = f.read()
    return json.loads(text[text.index('{'):text.rindex('}') + 1])


def render(level):
    """The level as kelderwyn-inspect draws it: width, height, RGB bytes."""
    out = os.path.join(WORK, 'render-%d.bmp' % level)
    subprocess.run([INSPECT, 'render', '--markers', os.path.join(WORLD, 'knmain.gdb'),
                    os.path.join(WORLD, 'bigmap_hi.jpg'), str(level), out], check=True)
    data = open(out, 'rb').read()
    offset, = struct.unpack_from('<I', data, 10)
    width, height = struct.unpack_from('<ii', data, 18)
    assert height < 0, 'the render is written top-down'
    height, stride = -height, (width * 3 + 3) & ~3
    bgr = b''.join(data[offset + y * stride:offset + y * stride + width * 3] for y in range(height))
    rgb = bytearray(len(bgr))
    rgb[0::3], rgb[1::3], rgb[2::3] = bgr[2::3], bgr[1::3], bgr[0::3]
    return width, height, bytes(rgb)


def screenshot(driver, name):
    path = os.path.join(SHOTS, name + '.png')
    driver.save_screenshot(path)
    raw = subprocess.run(['convert', path, '-depth', '8', 'rgb:-'], check=True, capture_output=True).stdout
    return path, raw


def settled(driver, level):
    """The page's view once Go is over and the level's tiles are in."""
    deadline = time.time() + 60
    while time.time() < deadline:
        view = driver.execute_script('return window.kelderwynView')
        if view and view['level'] == level and not view['loading'] and not view['busy']:
            time.sleep(0.8)  # the tiles' fade-in, then Leaflet drops the other levels' tiles
            return driver.execute_script('return window.kelderwynView')
        time.sleep(0.1)
    raise AssertionError('the page did not settle at level %d: %r' % (level, view))


def compare(driver, name, view):
    """The map's pixels against the render of the view's level."""
    path, shot = screenshot(driver, name)
    width, height, picture = render(view['level'])
    box = driver.execute_script(
        'var r = document.getElementById("map").getBoundingClientRect();'
        'var c = Array.from(document.querySelectorAll("header, .leaflet-control")).map(function (e) {'
        '  var b = e.getBoundingClientRect(); return [b.left, b.top, b.right, b.bottom]; });'
        'return {x: r.left, y: r.top, w: r.width, h: r.height, controls: c,'
        ' background: getComputedStyle(document.getElementById("map")).backgroundColor,'
        ' page: [innerWidth, innerHeight]};')
    page_w = box['page'][0]
    assert len(shot) == 3 * page_w * box['page'][1], 'the screenshot is the page at 1:1'
    assert (box['w'], box['h']) == (view['width'], view['height'])
    background = bytes(int(v) for v in box['background'][4:-1].split(','))
    x0, y0, w, h = int(box['x']), int(box['y']), view['width'], view['height']
    differing = 0
    for cy in range(h):
        py = view['top'] + cy
        expected = bytearray(background * w)
        if 0 <= py < height:
            left, right = max(view['left'], 0), min(view['left'] + w, width)
            if left < right:
                at = 3 * (left - view['left'])
                expected[at:at + 3 * (right - left)] = picture[3 * (py * width + left):3 * (py * width + right)]
        row = shot[3 * ((y0 + cy) * page_w + x0):3 * ((y0 + cy) * page_w + x0 + w)]
        for l, t, r, b in box['controls']:
            if t <= y0 + cy < b:
                a, z = 3 * (int(l) - x0), 3 * (int(r + 0.999) - x0)
                expected[a:z] = row[a:z]
        if row != expected:
            differing += sum(row[i:i + 3] != expected[i:i + 3] for i in range(0, len(row), 3))
    assert differing == 0, '%s: %d map pixels differ from the render of level %d (%s)' % (
        name, differing, view['level'], path)
    print('%s: every map pixel equals the render of level %d (%s)' % (name, view['level'], path))


def check_go(driver, site, index, name):
    view = settled(driver, site['places']['features'][index]['properties']['goLevel'])
    z = view['level']
    point = site['points'][index][2 * z:2 * z + 2]
    centre = [view['left'] + view['width'] // 2, view['top'] + view['height'] // 2]
    assert centre == point, '%s is at %r, the view centre at %r' % (name, point, centre)
    status = driver.find_element(By.ID, 'status').text
    assert status == 'Zoom level %d of 6, near %s' % (z, name), status
    return view


def pick(site, level, names):
    """A place Go takes to level, with a prefix no other name begins with."""
    lower = [n.lower() for n in names]
    for index, feature in enumerate(site['places']['features']):
        name = feature['properties']['name']
        if feature['properties']['goLevel'] != level or names.count(name) != 1:
            continue
        for length in range(1, len(name) + 1):
            prefix = name[:length].lower()
            if sum(n.startswith(prefix) for n in lower) == 1:
                return index, name, name[:length]
    raise AssertionError('no place for level %d' % level)


def main():
    site = load_site()
    names = [f['properties']['name'] for f in site['places']['features']]
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for flag in ('--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                 '--disable-background-networking', '--disable-component-update', '--disable-sync',
                 '--force-device-scale-factor=1', '--window-size=%d,%d' % SIZE,
                 '--user-data-dir=' + os.path.join(WORK, 'profile')):
        options.add_argument(flag)
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    try:
        driver.get('file://' + os.path.join(WORK, 'site', 'index.html'))
        view = settled(driver, 0)
        compare(driver, 'level-0', view)

        index, name, prefix = pick(site, 4, names)
        ActionChains(driver).send_keys(Keys.TAB).perform()
        assert driver.execute_script('return document.activeElement.id') == 'place', 'Tab reaches the search'
        ActionChains(driver).send_keys(prefix).perform()
        assert driver.find_element(By.ID, 'places').is_displayed(), 'typing opens the list'
        ActionChains(driver).send_keys(Keys.RETURN).perform()
        view = check_go(driver, site, index, name)
        print('keyboard: "%s" and Return went to %s at level %d' % (prefix, name, view['level']))
        compare(driver, 'go-keyboard', view)

        index, name, _ = pick(site, 2, names)
        field = driver.find_element(By.ID, 'place')
        field.clear()
        field.send_keys(name)
        driver.find_element(By.CSS_SELECTOR, '#search button').click()
        view = check_go(driver, site, index, name)
        compare(driver, 'go-button', view)
        driver.find_element(By.CSS_SELECTOR, '.leaflet-control-zoom-in').click()
        compare(driver, 'zoom-in', settled(driver, 3))

        errors = [entry for entry in driver.get_log('browser') if entry['level'] in ('SEVERE', 'WARNING')]
        assert not errors, 'the browser logged: %r' % errors
    finally:
        driver.quit()
    print('4 passed, 0 failed')


main()
