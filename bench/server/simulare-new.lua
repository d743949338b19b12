-- A new form for every request (the product value counts up), so that no answer is ever served
-- from the service's cache of answers: the cost of simulating itself.
local n = 0
request = function()
    n = n + 1
    local body = '{"vn":"4200","ar":"350","ad":"100","tbvp":"' .. (1000 + n) ..
        '","tbavans":"500","tbdurcred":"24","cbasig":"Standard"}'
    return wrk.format("POST", nil, {["Content-Type"] = "application/json"}, body)
end
