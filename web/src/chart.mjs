// The deviation chart: one bar per point in solved order, surplus above the zero line and deficit
// below, drawn as SVG at the width of its container so that its text stays legible on a phone.
const SVG = 'http://www.w3.org/2000/svg';
const HEIGHT = 260;
const MARGIN = {left: 52, right: 12, top: 18, bottom: 44};
const VALUE_LABEL_ROOM = 40;  // pixels a bar needs for its value written above or below it
const DIGIT_WIDTH = 8;        // pixels of one digit of a point number, with room to spare
const LABEL_GAP = 12;         // pixels at the least between two point numbers on the axis
const TICKS = 6;

function element(name, attributes = {}, text = undefined) {
  const node = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, String(value));
  if (text !== undefined) node.textContent = text;
  return node;
}

// A step of 1, 2 or 5 times a power of ten that cuts `span` into about TICKS parts.
function tickStep(span) {
  const rough = span / TICKS;
  const power = 10 ** Math.floor(Math.log10(rough));
  return [1, 2, 5, 10].map((factor) => factor * power).find((step) => step >= rough);
}

// The range of the value axis, in whole ticks, with room beyond the longest bars for the values
// written at their ends.
function valueRange(deviations) {
  const finite = deviations.filter(Number.isFinite);
  const high = Math.max(0, ...finite);
  const low = Math.min(0, ...finite);
  const room = (high - low) * 0.08;
  const step = tickStep(high - low + 2 * room || 1);
  return {
    low: low < 0 ? Math.floor((low - room) / step) * step : 0,
    high: high > 0 || low === 0 ? Math.ceil((high + room) / step) * step || step : 0,
    step,
  };
}

function signed(value) {
  return value > 0 ? `+${value}` : String(value + 0);
}

// Draws `bars` ({label, deviation} in display order) into `svg`, replacing what it held, with
// `summary` as the chart's accessible description.
export function drawDeviationChart(svg, bars, summary) {
  const width = Math.max(280, Math.floor(svg.parentElement?.clientWidth || 640));
  const plotWidth = width - MARGIN.left - MARGIN.right;
  const plotHeight = HEIGHT - MARGIN.top - MARGIN.bottom;
  svg.replaceChildren(element('title', {id: 'chartTitle'}, 'Deviation of each point, in percent'),
                      element('desc', {id: 'chartSummary'}, summary));
  svg.setAttribute('viewBox', `0 0 ${width} ${HEIGHT}`);
  svg.setAttribute('width', width);
  svg.setAttribute('height', HEIGHT);
  if (bars.length === 0) return;

  const {low, high, step} = valueRange(bars.map((bar) => bar.deviation));
  const clamp = (value) => Math.min(high, Math.max(low, Number.isNaN(value) ? 0 : value));
  const yOf = (value) => MARGIN.top + ((high - clamp(value)) / (high - low)) * plotHeight;
  const slot = plotWidth / bars.length;

  const grid = element('g', {class: 'grid'});
  for (let tick = low; tick <= high + step / 2; tick += step) {
    const value = Math.round(tick / step) * step;
    const y = yOf(value);
    grid.append(element('line', {x1: MARGIN.left, x2: width - MARGIN.right, y1: y, y2: y}),
                element('text', {x: MARGIN.left - 6, y: y + 4, class: 'tick'},
                        signed(Number(value.toPrecision(6)))));
  }
  grid.append(element('text', {x: 12, y: MARGIN.top + plotHeight / 2, class: 'axisTitle',
                               transform: `rotate(-90 12 ${MARGIN.top + plotHeight / 2})`},
                      'deviation %'));

  const plot = element('g', {class: 'bars'});
  const longest = Math.max(...bars.map((bar) => bar.label.length));
  const labelEvery = Math.ceil((longest * DIGIT_WIDTH + LABEL_GAP) / slot);
  bars.forEach((bar, index) => {
    const x = MARGIN.left + index * slot;
    const top = Math.min(yOf(bar.deviation), yOf(0));
    const height = Math.abs(yOf(bar.deviation) - yOf(0));
    const kind = bar.deviation < 0 ? 'negative' : 'positive';
    const text = `${signed(bar.deviation)} %`;
    const rect = element('rect', {x: x + slot * 0.15, y: top, width: Math.max(slot * 0.7, 0.5),
                                  height: Math.max(height, 0.5), class: `bar ${kind}`});
    rect.append(element('title', {}, `Point ${bar.label}: ${text}`));
    plot.append(rect);
    if (slot >= VALUE_LABEL_ROOM) {
      const y = kind === 'negative' ? top + height + 13 : top - 4;
      plot.append(element('text', {x: x + slot / 2, y, class: `value ${kind}`}, text));
    }
    if (index % labelEvery === 0) {
      plot.append(element('text', {x: x + slot / 2, y: HEIGHT - MARGIN.bottom + 16,
                                   class: 'point'}, bar.label));
    }
  });
  plot.append(element('line', {x1: MARGIN.left, x2: width - MARGIN.right, y1: yOf(0), y2: yOf(0),
                               class: 'zero'}),
              element('text', {x: MARGIN.left + plotWidth / 2, y: HEIGHT - 8, class: 'axisTitle'},
                      'point, largest demand first'));
  svg.append(grid, plot);
}
