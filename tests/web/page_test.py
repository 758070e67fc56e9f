#!/usr/bin/env python3
"""The page in headless Chromium, served from 127.0.0.1: it draws, saves the picture it shows as
the desktop's BMP, starts on F5 without reloading, ticks five times a second, keeps running while
a box is open, shows a conversion error and runs on after it, and stores nothing in the browser.
Usage: page_test.py FOLDER (the unpacked web zip)."""
import base64, functools, http.server, sys, tempfile, threading, time
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

# Before the page's own scripts: note the main window's repaints and take the file handed to the
# browser's save dialog.
HOOKS = r"""
window.paints = [];
const put = CanvasRenderingContext2D.prototype.putImageData;
CanvasRenderingContext2D.prototype.putImageData = function (...args) {
  if (this.canvas.width > 800) window.paints.push(performance.now());
  return put.apply(this, args);
};
window.saved = null;
window.showSaveFilePicker = async (options) => {
  const file = { name: options.suggestedName, parts: [], closed: false };
  window.saved = file;
  return { createWritable: async () => ({
    write: async (data) => { file.parts.push(btoa(String.fromCharCode(...new Uint8Array(data)))); },
    close: async () => { file.closed = true; } }) };
};
"""
CANVAS = """const host = document.querySelector('#screen div');
const canvases = host && host.shadowRoot ? [...host.shadowRoot.querySelectorAll('canvas')] : [];
const c = canvases.find((c) => c.width > 800);"""

def lattice(driver):
    """The 100 x 100 spins the picture shows (1 black, 0 white), read at each cell's centre."""
    return driver.execute_script(CANVAS + """
const top = c.height - 571 + 8, d = c.getContext('2d').getImageData(8, top, 500, 500).data;
const spins = [];
for (let j = 0; j < 100; j++) for (let i = 0; i < 100; i++) spins.push(d[4 * ((5 * j + 2) * 500 + 5 * i + 2)] < 128 ? 1 : 0);
return spins;""")

def charts(driver):
    return driver.execute_script(CANVAS + """
const d = c.getContext('2d').getImageData(552, c.height - 571 + 8, 305, 360).data;
let sum = 0; for (let k = 0; k < d.length; k++) sum = (sum * 31 + d[k]) % 1000000007; return sum;""")

def expected_bmp(spins):
    """The desktop's file for a lattice: 54 bytes of headers, 500 rows of 2000 bytes, bottom first."""
    header = bytes.fromhex("424D76420F0000000000360000002800"
                           "0000F4010000F4010000010020000000"
                           "000040420F0000000000000000000000"
                           "000000000000")
    rows = []
    for y in reversed(range(500)):
        rows.append(b"".join(b"\0\0\0\0" if spins[(y // 5) * 100 + x // 5] else b"\xff\xff\xff\0"
                             for x in range(500)))
    return header + b"".join(rows)

def keys(driver, *sequence, pause=0.3):
    for key in sequence:
        ActionChains(driver).send_keys(key).perform()
        time.sleep(pause)

def menu(driver, letter, item):
    ActionChains(driver).key_down(Keys.ALT).send_keys(letter).key_up(Keys.ALT).perform()
    time.sleep(0.5)
    keys(driver, item)

def wait(condition, seconds, what):
    end = time.time() + seconds
    while time.time() < end:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    raise AssertionError("timed out: " + what)

def main(folder):
    class Handler(http.server.SimpleHTTPRequestHandler):
        extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                          ".wasm": "application/wasm"}
        def log_message(self, *args):
            pass
    handler = functools.partial(Handler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    profile = tempfile.TemporaryDirectory()
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--window-size=1100,800", "--user-data-dir=" + profile.name):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": HOOKS})
        started = time.time()
        driver.get("http://127.0.0.1:%d/index.html" % server.server_address[1])
        spins = wait(lambda: driver.execute_script(CANVAS + "return c && window.paints.length > 0")
                     and lattice(driver), 60, "the picture")
        print("drawn %.1f s after loading" % (time.time() - started))
        assert 3000 < sum(spins) < 7000, "the picture shows no random lattice"
        ActionChains(driver).move_to_element_with_offset(
            driver.find_element("id", "screen"), 0, 0).click().perform()

        # Save before any Start: the initial lattice, as the desktop writes it.
        menu(driver, "f", "a")
        saved = wait(lambda: driver.execute_script(
            "return window.saved && window.saved.closed && window.saved"), 20, "the save")
        data = b"".join(base64.b64decode(part) for part in saved["parts"])
        assert saved["name"] == "vellora.bmp", saved["name"]
        expected = expected_bmp(spins)
        differ = next((k for k in range(min(len(data), len(expected))) if data[k] != expected[k]), None)
        assert len(data) == 1000054 and differ is None, "saved %d bytes, differing at %s: %s" % (
            len(data), differ, data[differ - 8:differ + 8].hex() if differ else "")

        # F5 starts the run and leaves the page as it is.
        driver.execute_script("window.marker = 1")
        before = charts(driver)
        keys(driver, Keys.F5, pause=1.5)
        assert driver.execute_script("return window.marker") == 1, "F5 reloaded the page"
        assert lattice(driver) != spins and charts(driver) != before, "no run after F5"

        # Five ticks a second: the repaints come in one burst per tick.
        driver.execute_script("window.paints = []")
        time.sleep(10)
        times = driver.execute_script("return window.paints")
        bursts = sum(1 for k, t in enumerate(times) if k == 0 or t - times[k - 1] > 60)
        print("ticks in 10 s:", bursts)
        assert 49 <= bursts <= 51, bursts

        # The About box leaves the run going; Enter closes it.
        menu(driver, "h", "a")
        shown = lattice(driver)
        time.sleep(1)
        assert lattice(driver) != shown, "the run stopped under the About box"
        keys(driver, Keys.ENTER)

        # "abc" in h: the error box with its text, then the run goes on once h is a number.
        driver.execute_script("document.querySelector('#screen div').shadowRoot"
                              ".querySelectorAll('button').forEach((b) => b.click())")
        keys(driver, Keys.TAB, "abc", Keys.F5, pause=1)
        text = driver.execute_script("return document.querySelector('#screen div').shadowRoot.innerHTML")
        assert "&#39;abc&#39; is not a valid floating point value." in text or \
            "'abc' is not a valid floating point value." in text, "no error text"
        print("accessible elements:", driver.execute_script(
            """return [...document.querySelector('#screen div').shadowRoot.querySelectorAll('[role], button, input, div[aria-label]')]
               .map((e) => e.tagName + ' ' + (e.getAttribute('role') || '') + ' ' + (e.getAttribute('aria-label') || e.textContent || e.value || '').slice(0, 60)).join('\\n')"""))
        keys(driver, Keys.ENTER, Keys.TAB, "0", Keys.F5, pause=1)
        shown = lattice(driver)
        time.sleep(1)
        assert lattice(driver) != shown, "the run did not go on after the error"

        assert driver.execute_script("return localStorage.length + sessionStorage.length") == 0
        assert driver.execute_script("return document.cookie") == ""
        assert driver.execute_script("return indexedDB.databases().then((d) => d.length)") == 0
        print("page test: passed")
    finally:
        driver.quit()
        server.shutdown()

if __name__ == "__main__":
    main(sys.argv[1])
