// The served panel in a real browser (Debian's chromium through playwright-core): a click on
// the GPS power knob lights the GPS in the page's pixels; a touch drag across the DME knob
// changes its frequency; two pages see the same pictures and one closing leaves the other
// flying; a view-only page's click changes nothing; a WebSocket from another origin's page is
// refused. Takes the README's screenshots on the way.
//   node panel_test.mjs PANELHOST DOCS_DIR
import { spawn } from "node:child_process";
import { createServer } from "node:http";
import { chromium } from "playwright-core";

const [panelhost, docs] = process.argv.slice(2);
const servers = [];
let browser = null;

function fail(message) {
  throw new Error(message);
}

async function until(what, test, seconds = 8) {
  const end = Date.now() + seconds * 1000;
  for (;;) {
    const value = await test();
    if (value) return value;
    if (Date.now() > end) fail(`timed out waiting for ${what}`);
    await new Promise((done) => setTimeout(done, 100));
  }
}

function serve(...options) {
  const child = spawn(panelhost, ["serve", "--serve", "127.0.0.1:0", "--mute", ...options]);
  const server = { child, log: "", url: null };
  child.stderr.on("data", (data) => (server.log += data));
  let out = "";
  child.stdout.on("data", (data) => {
    out += data;
    const found = out.match(/serving the panel at (http:\S+)/);
    if (found) server.url = found[1];
  });
  servers.push(server);
  return until("the server's address", () => server.url, 20).then(() => server);
}

async function json(url) {
  const answer = await fetch(url);
  if (!answer.ok) fail(`${url}: ${answer.status}`);
  return answer.json();
}

async function openPage(context, url) {
  const page = await context.newPage();
  await page.goto(url);
  await until("the page to connect", () => page.evaluate(() => document.getElementById("state").className === "connected"));
  await until("a picture", () =>
    page.evaluate(() => {
      const data = document.getElementById("panel").getContext("2d").getImageData(0, 0, 64, 64).data;
      return data.some((value, i) => i % 4 !== 3 && value > 0);
    }),
  );
  return page;
}

// How many pixels of an area of the whole picture are lit on "/": the displays' red, the lamps'
// green. The canvas holds the picture at the page's pixel density.
function brightness(page, area, pictureWidth) {
  return page.evaluate(([a, pictureWidth]) => {
    const canvas = document.getElementById("panel");
    const d = canvas.width / pictureWidth;
    const data = canvas
      .getContext("2d")
      .getImageData(Math.round(a.x * d), Math.round(a.y * d), Math.round(a.width * d), Math.round(a.height * d)).data;
    let lit = 0;
    for (let i = 0; i < data.length; i += 4) {
      const [r, g, b] = [data[i], data[i + 1], data[i + 2]];
      if ((r > 120 && r > 2 * g) || (g > 120 && g > 2 * r && g > 2 * b)) ++lit;
    }
    return lit;
  }, [area, pictureWidth]);
}

// Where a point of the whole picture lies on "/".
async function onPage(page, x, y, layout) {
  const box = await page.locator("#panel").boundingBox();
  return { x: box.x + (x * box.width) / layout.width, y: box.y + (y * box.height) / layout.height };
}

function middle(control) {
  return [control.x + control.width / 2, control.y + control.height / 2];
}

async function main() {
  browser = await chromium.launch({ executablePath: "/usr/bin/chromium", args: ["--no-sandbox"] });
  const server = await serve();
  const layout = await json(server.url + "api/panel");
  const control = (name) => layout.controls.find((c) => c.name === name) || fail(`no control ${name}`);
  const gps = layout.gauges.find((g) => g.name === "gps");

  // The GPS lit by a click on its power knob, seen in the page's pixels.
  const desktop = await browser.newContext({ viewport: { width: 1000, height: 640 } });
  const page = await openPage(desktop, server.url);
  const dark = await brightness(page, gps, layout.width);
  const power = await onPage(page, ...middle(control("gps power_on")), layout);
  await page.mouse.click(power.x, power.y);
  const lit = await until("the GPS to light up", async () => {
    const now = await brightness(page, gps, layout.width);
    return now > dark + 200 ? now : 0;
  });
  console.log(`ok: the GPS lit up on a click (${dark} -> ${lit} lit pixels)`);
  await page.waitForTimeout(1500);
  await page.screenshot({ path: `${docs}/browser-panel.png` });

  // Two pages see the same frames as the flight goes on; one closed, the other flies on.
  const second = await openPage(desktop, server.url);
  const pictureOf = (p) =>
    p.evaluate(() => {
      const canvas = document.getElementById("panel");
      return { number: canvas.dataset.picture, pixels: canvas.toDataURL() };
    });
  const seen = new Set();
  while (seen.size < 3) {
    await until(`both pages at one new picture (${seen.size} seen alike)`, async () => {
      const [a, b] = [await pictureOf(page), await pictureOf(second)];
      if (a.number === undefined || a.number !== b.number || seen.has(a.number)) return false;
      if (a.pixels !== b.pixels) fail(`the two pages show picture ${a.number} differently`);
      return seen.add(a.number);
    });
  }
  await second.close();
  const before = (await json(server.url + "api/state")).frame;
  await page.waitForTimeout(500);
  const after = (await json(server.url + "api/state")).frame;
  if (!(after > before)) fail("the flight stopped when a page closed");
  if ((await page.evaluate(() => document.getElementById("state").className)) !== "connected") {
    fail("the remaining page lost its connection");
  }
  console.log(`ok: two pages saw the same pictures (${[...seen].join(", ")}); one closed, the other flies on`);

  // A touch drag across the DME's outer knob changes its frequency.
  const phone = await browser.newContext({ viewport: { width: 844, height: 390 }, hasTouch: true, isMobile: true });
  const touch = await openPage(phone, server.url);
  const cdp = await phone.newCDPSession(touch);
  const tap = async (x, y) => {
    await cdp.send("Input.dispatchTouchEvent", { type: "touchStart", touchPoints: [{ x, y }] });
    await cdp.send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
  };
  const dmeOn = await onPage(touch, ...middle(control("dme power_on")), layout);
  await tap(dmeOn.x, dmeOn.y);
  const dmeTexts = async () => {
    const state = await json(server.url + "api/state");
    return state.gauges.find((g) => g.name === "dme").elements.map((e) => (e.hidden ? "" : e.text)).join("|");
  };
  await page.waitForTimeout(4000);
  const frequency = await dmeTexts();
  const knob = control("dme outer");
  const start = await onPage(touch, knob.x + knob.width / 2, knob.y + 3, layout);
  await cdp.send("Input.dispatchTouchEvent", { type: "touchStart", touchPoints: [start] });
  for (let step = 1; step <= 10; ++step) {
    await cdp.send("Input.dispatchTouchEvent", { type: "touchMove", touchPoints: [{ x: start.x + step * 8, y: start.y }] });
  }
  await cdp.send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
  const turned = await until("the DME's frequency to change", async () => {
    const now = await dmeTexts();
    return now !== frequency ? now : null;
  });
  console.log(`ok: a touch drag across the DME knob turned it (${frequency} -> ${turned})`);

  // The GPS alone, at a phone's size and its three pixels to a point: a picture of as many
  // pixels as the screen shows there (in halves, at most three times the panel's).
  const sharpPhone = await browser.newContext({
    viewport: { width: 844, height: 390 }, deviceScaleFactor: 3, hasTouch: true, isMobile: true,
  });
  const gauge = await sharpPhone.newPage();
  await gauge.goto(server.url + "gauge/gps");
  await until("the gauge page to connect", () => gauge.evaluate(() => document.getElementById("state").className === "connected"));
  const shown = Math.min(844 / gps.width, 390 / gps.height) * 3;
  const wanted = Math.min(3, Math.ceil(shown * 2 - 0.25) / 2);
  await until(`the GPS drawn at a density of ${wanted}`, () =>
    gauge.evaluate((w) => Math.abs(document.getElementById("panel").width - w) <= 1, gps.width * wanted),
  );
  console.log(`ok: the GPS alone on a phone is drawn at ${wanted} times its size`);
  await gauge.waitForTimeout(2500);
  await gauge.screenshot({ path: `${docs}/browser-gauge-gps-phone.png` });

  // View only: a click changes nothing.
  const viewer = await serve("--view-only");
  const viewerPage = await openPage(desktop, viewer.url);
  const unlit = await brightness(viewerPage, gps, layout.width);
  const viewerPower = await onPage(viewerPage, ...middle(control("gps power_on")), layout);
  await viewerPage.mouse.click(viewerPower.x, viewerPower.y);
  await viewerPage.waitForTimeout(2500);
  const still = await brightness(viewerPage, gps, layout.width);
  if (still !== unlit) fail(`a view-only click changed the GPS (${unlit} -> ${still})`);
  console.log("ok: a view-only page's click changed nothing");

  // A page of another origin (another port) may not open the panel's socket. The page is served
  // here, so that no policy of ours stops the browser first: the server must refuse it.
  const stranger = await desktop.newPage();
  const elsewhere = createServer((request, response) => response.end("<p>elsewhere</p>"));
  await new Promise((done) => elsewhere.listen(0, "127.0.0.1", done));
  await stranger.goto(`http://127.0.0.1:${elsewhere.address().port}/`);
  const opened = await stranger.evaluate(
    (target) =>
      new Promise((done) => {
        const socket = new WebSocket(target);
        socket.onopen = () => done(true);
        socket.onerror = () => done(false);
      }),
    server.url.replace("http:", "ws:") + "socket",
  );
  if (opened) fail("a WebSocket from another origin's page was accepted");
  elsewhere.close();
  await until("the refusal in the log", () => server.log.includes("another origin"));
  console.log("ok: a WebSocket from another origin's page was refused");
}

let status = 0;
try {
  await main();
} catch (error) {
  console.error(`FAILED: ${error.message}`);
  for (const server of servers) console.error(`server log:\n${server.log}`);
  status = 1;
} finally {
  if (browser) await browser.close();
  for (const server of servers) server.child.kill("SIGINT");
}
process.exit(status);
