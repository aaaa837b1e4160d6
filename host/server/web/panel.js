// The panel in a browser: the pictures the server sends drawn into one canvas, cut to the view
// the address asks for (/, /gauge/NAME, /window/N); pointer, wheel and keys sent back.
"use strict";

const canvas = document.getElementById("panel");
const context = canvas.getContext("2d");
const badge = document.getElementById("state");
const full = document.createElement("canvas");  // the whole picture, as the server has it
const fullContext = full.getContext("2d");
const query = new URLSearchParams(location.search);

let layout = null;
let crop = { x: 0, y: 0, width: 1, height: 1 };
let socket = null;
let night = query.has("night");
let lastHeard = 0;
let retry = 500;
let flightState = { paused: false, stale: false };
let refused = "";
let drawing = Promise.resolve();
let density = 1;  // of the pictures asked for
let drawnDensity = 1;  // of the pictures that came

const notchDistance = 24;  // CSS pixels of drag per notch
const tapDistance = 8;

function show(state, words) {
  badge.className = state;
  badge.textContent = words;
}

function viewOf(path) {
  const gauge = path.match(/^\/gauge\/([^/]+)$/);
  if (gauge) {
    const found = layout.gauges.find((g) => g.path === decodeURIComponent(gauge[1]));
    if (found) return found;
  }
  const window = path.match(/^\/window\/(\d+)$/);
  const area = window && layout.windows[Number(window[1])];
  if (area && area.width > 0 && area.height > 0) return area;
  return { x: 0, y: 0, width: layout.width, height: layout.height };
}

function fit() {
  const scale = Math.min(innerWidth / crop.width, innerHeight / crop.height);
  canvas.style.width = Math.floor(crop.width * scale) + "px";
  canvas.style.height = Math.floor(crop.height * scale) + "px";
  // As many picture pixels as the screen shows there, in halves up to 3: text stays sharp on a
  // tablet or a phone, and screens of nearly one density share one picture.
  const wanted = Math.min(3, Math.max(1, Math.ceil(scale * devicePixelRatio * 2 - 0.25) / 2));
  if (wanted !== density) {
    density = wanted;
    sendView();
  }
}

function sendView() {
  send({ view: { night, density } });
}

function present() {
  const d = drawnDensity;
  const width = Math.round(crop.width * d), height = Math.round(crop.height * d);
  if (canvas.width !== width || canvas.height !== height) {
    canvas.width = width;
    canvas.height = height;
  }
  context.drawImage(full, crop.x * d, crop.y * d, width, height, 0, 0, width, height);
}

// One picture message: the regions' PNGs decoded, then drawn together.
async function draw(buffer) {
  const data = new DataView(buffer);
  const width = data.getUint16(8, true), height = data.getUint16(10, true), count = data.getUint16(12, true);
  if (full.width !== width || full.height !== height) {
    full.width = width;
    full.height = height;
    drawnDensity = width / layout.width;
  }
  const regions = [];
  let at = 16;
  for (let i = 0; i < count; ++i) {
    const x = data.getUint16(at, true), y = data.getUint16(at + 2, true);
    const length = data.getUint32(at + 8, true);
    const png = new Blob([new Uint8Array(buffer, at + 12, length)], { type: "image/png" });
    regions.push(createImageBitmap(png).then((bitmap) => ({ x, y, bitmap })));
    at += 12 + length;
  }
  for (const region of await Promise.all(regions)) {
    fullContext.drawImage(region.bitmap, region.x, region.y);
    region.bitmap.close();
  }
  present();
  canvas.dataset.picture = String(data.getUint32(4, true));  // which picture is shown, for tests
}

function heard(text) {
  const message = JSON.parse(text);
  if (message.refused) refused = message.refused;
  if ("paused" in message) flightState = message;
  describe();
}

function describe() {
  if (!socket || socket.readyState !== WebSocket.OPEN) return;
  if (refused) show("refused", refused);
  else if (flightState.stale || Date.now() - lastHeard > 3000) show("stale", "no news from the flight");
  else if (flightState.paused) show("paused", "paused");
  else show("connected", "connected");
}

function send(message) {
  if (socket && socket.readyState === WebSocket.OPEN && !(layout && layout.view_only && !message.view)) {
    socket.send(JSON.stringify(message));
  }
}

async function connect() {
  try {
    const answer = await fetch("/api/panel", { cache: "no-store" });
    layout = await answer.json();
  } catch (error) {
    show("reconnecting", "reconnecting");
    setTimeout(connect, retry);
    retry = Math.min(retry * 2, 5000);
    return;
  }
  crop = viewOf(location.pathname);
  canvas.width = crop.width;
  canvas.height = crop.height;
  fit();
  socket = new WebSocket((location.protocol === "https:" ? "wss://" : "ws://") + location.host + "/socket");
  socket.binaryType = "arraybuffer";
  socket.onopen = () => {
    retry = 500;
    lastHeard = Date.now();
    sendView();
    describe();
  };
  socket.onmessage = (event) => {
    lastHeard = Date.now();
    if (typeof event.data === "string") heard(event.data);
    else drawing = drawing.then(() => draw(event.data)).catch(() => {});
  };
  socket.onclose = () => {
    socket = null;
    show("reconnecting", "reconnecting");
    setTimeout(connect, retry);
    retry = Math.min(retry * 2, 5000);
  };
}

// Where a pointer is, in the whole picture's pixels.
function pointOf(event) {
  const box = canvas.getBoundingClientRect();
  return {
    x: crop.x + ((event.clientX - box.left) * crop.width) / box.width,
    y: crop.y + ((event.clientY - box.top) * crop.height) / box.height,
  };
}

// The smallest control of a kind under a point: an inner ring lies within its outer one.
function controlAt(point, kind) {
  if (!layout) return null;
  let best = null;
  for (const control of layout.controls) {
    if (control.kind !== kind) continue;
    if (point.x < control.x || point.y < control.y) continue;
    if (point.x >= control.x + control.width || point.y >= control.y + control.height) continue;
    if (!best || control.width * control.height < best.width * best.height) best = control;
  }
  return best;
}

const cursors = { push: "pointer", turn_right: "e-resize", turn_left: "w-resize", arrow: "default" };
let drag = null;

canvas.addEventListener("pointerdown", (event) => {
  const point = pointOf(event);
  drag = {
    id: event.pointerId, startX: event.clientX, startY: event.clientY, point, moved: false, sent: 0,
    mouse: event.pointerType === "mouse",
    ring: event.pointerType === "touch" || event.pointerType === "pen" ? controlAt(point, "ring") : null,
  };
  canvas.setPointerCapture(event.pointerId);
});

canvas.addEventListener("pointermove", (event) => {
  if (!drag || drag.id !== event.pointerId) {
    const push = controlAt(pointOf(event), "push");
    canvas.style.cursor = layout && !layout.view_only && push ? cursors[push.cursor] || "pointer" : "default";
    return;
  }
  const dx = event.clientX - drag.startX, dy = event.clientY - drag.startY;
  if (Math.hypot(dx, dy) >= tapDistance) drag.moved = true;
  if (!drag.ring) return;
  // Right or up turns clockwise.
  const notches = Math.trunc((dx - dy) / notchDistance) - drag.sent;
  if (notches !== 0) {
    send({ turn: drag.ring.name, notches });
    drag.sent += notches;
  }
});

function toggleFullScreen() {
  if (document.fullscreenElement) document.exitFullscreen();
  else document.documentElement.requestFullscreen().catch(() => {});
}

canvas.addEventListener("pointerup", (event) => {
  if (!drag || drag.id !== event.pointerId) return;
  const ended = drag;
  drag = null;
  if (ended.moved) return;
  if (controlAt(ended.point, "push")) send({ click: [ended.point.x, ended.point.y] });
  else if (!ended.mouse) toggleFullScreen();  // a mouse has the button and F11
});

canvas.addEventListener("pointercancel", () => (drag = null));

let wheelSum = 0;
canvas.addEventListener(
  "wheel",
  (event) => {
    event.preventDefault();
    // Away from you (negative) is clockwise; a trackpad's small steps add up to notches.
    wheelSum += event.deltaMode === 0 ? event.deltaY : event.deltaY * 40;
    const notches = Math.trunc(-wheelSum / 50);
    if (notches === 0) return;
    wheelSum += notches * 50;
    const point = pointOf(event);
    send({ wheel: [point.x, point.y, Math.max(-50, Math.min(50, notches))] });
  },
  { passive: false },
);

const keys = {
  ArrowLeft: "heading_left", ArrowRight: "heading_right", ArrowUp: "climb", ArrowDown: "descend",
  "+": "faster_aircraft", "-": "slower_aircraft", " ": "pause", p: "pause", "]": "faster_time",
  "[": "slower_time", s: "supply", F1: "help", "?": "help",
};

addEventListener("keydown", (event) => {
  if (event.key === "n") {
    night = !night;
    sendView();
  } else if (event.key === "F11" || event.key === "f") {
    toggleFullScreen();
  } else if (keys[event.key]) {
    send({ key: keys[event.key] });
  } else {
    return;
  }
  event.preventDefault();
});

document.getElementById("full").addEventListener("click", toggleFullScreen);
addEventListener("resize", fit);
setInterval(describe, 1000);
connect();
